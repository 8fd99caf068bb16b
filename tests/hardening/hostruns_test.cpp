#include "host/recordingbackend.h"
#include "host/runner.h"
#include "host/script.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::host;

namespace {

// A platform that refuses every key.
class RefusingBackend : public RecordingBackend {
public:
    bool send(const std::vector<KeyAction> &, std::string &error) override
    {
        error = "refused";
        return false;
    }
};

} // namespace

// Settings a run cannot work with start nothing and say why; a key the
// platform refuses stops the run there.
TEST(HostRunStops, BadSettingsStartNothingAndARefusedKeyStopsTheRun)
{
    test::ScratchHome home;
    common::SettingsRecord good;
    good.TimeRank = home.makeFolder(QStringLiteral("TimeRank"));
    good.MData = home.makeFolder(QStringLiteral("MData"));
    good.Vantor_Ver = QStringLiteral("2.05");
    const RunNumbers numbers{{0, 0, 0}, 1};
    const struct {
        std::function<void(common::SettingsRecord &)> change;
        bool comments;
        const char16_t *message;
    } cases[] = {
        {[](common::SettingsRecord &s) { s.TimeRank.clear(); }, false, u"TimeRank が設定されていません．"},
        {[](common::SettingsRecord &s) { s.TimeRank = QStringLiteral("/no/such/"); }, false,
         u"Path not found!! ( /no/such/ )"},
        {[](common::SettingsRecord &s) { s.MData.clear(); }, true, u"MData が設定されていません．"},
    };
    for (const auto &c : cases) {
        common::SettingsRecord s = good;
        c.change(s);
        platform::Messages said;
        EXPECT_FALSE(c.comments ? BuildCommentScript(numbers, s, said) : BuildExportScript(numbers, 0, s, said));
        ASSERT_EQ(said.size(), 1u);
        EXPECT_EQ(said[0].text, QString::fromUtf16(c.message));
    }

    RefusingBackend refusing;
    platform::Messages said;
    RunOptions noWaits;
    noWaits.wait = [](int) {};
    const RunResult r = RunScript(*BuildExportScript(numbers, 0, good, said), refusing, noWaits);
    EXPECT_FALSE(r.completed);
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_TRUE(r.messages[0].text.startsWith(QStringLiteral("キーを送信できないため，実行を中止しました．")));
    EXPECT_TRUE(r.messages[0].text.contains(QStringLiteral("refused")));

    // A text to type that holds a NUL stops the run before its first key.
    RecordingBackend recording;
    Script typed = *BuildExportScript(numbers, 0, good, said);
    for (Operation &op : typed.operations)
        if (op.kind == Operation::Kind::Type)
            op.text += QChar(0);
    const RunResult stopped = RunScript(typed, recording, noWaits);
    EXPECT_FALSE(stopped.completed);
    ASSERT_EQ(stopped.messages.size(), 1u);
    EXPECT_TRUE(stopped.messages[0].text.startsWith(
        QStringLiteral("入力できない文字があるため，実行を中止しました．キーは送信しません．")));
    EXPECT_EQ(recording.recording()->sends, 0);
    EXPECT_TRUE(recording.recording()->log.isEmpty());
}

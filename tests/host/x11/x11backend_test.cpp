// The X11 backend against real windows on a private Xvfb display, with and
// without a window manager: receivers of our own, in other processes, report
// what arrived.
#include "host/x11/x11backend.h"

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

// After Qt: Xlib's macros (None, Bool, Status ...) clash with Qt's names.
#include <X11/Xlib.h>

namespace korvin::host::x11 {
namespace {

using Actions = std::vector<KeyAction>;

KeyAction Key(NamedKey key, bool shift = false)
{
    KeyAction a;
    a.key = key;
    a.shift = shift;
    return a;
}

KeyAction Char(char32_t c, bool shift = false, bool ctrl = false)
{
    KeyAction a;
    a.kind = KeyAction::Kind::Character;
    a.character = c;
    a.shift = shift;
    a.ctrl = ctrl;
    return a;
}

Actions Text(std::u32string_view text)
{
    Actions actions;
    for (char32_t c : text)
        actions.push_back(Char(c));
    return actions;
}

Actions operator+(Actions a, const Actions &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const char *const kTitleA = "Korvin 受信テスト";
const char *const kTitleB = "Korvin 受信テスト (2)";
const char *const kRawTitleUtf8 = "Fenêtre brute";
const char *const kRawTitleLatin1 = "Fen\xeatre brute";

std::unique_ptr<QProcess> Start(const QString &program, const QStringList &args, const QString &display)
{
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!display.isEmpty())
        env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::SeparateChannels);
    p->start(program, args);
    return p;
}

// One line of a child's output, without its line end; empty when none came
// within the time (a generous bound, not a timing check).
std::string ReadLine(QProcess &p, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!p.canReadLine()) {
        if (deadline.hasExpired() || !p.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            return {};
    }
    QByteArray line = p.readLine();
    line.chop(1);
    return line.toStdString();
}

void Stop(std::unique_ptr<QProcess> &p)
{
    if (!p)
        return;
    p->terminate();
    if (!p->waitForFinished(3000))
        p->kill();
    p->waitForFinished(3000);
    p.reset();
}

class X11BackendTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty())
            return;
        s_xvfb = Start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                        QStringLiteral("0"), QStringLiteral("1024x768x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp"), QStringLiteral("-noreset")},
                       {});
        const std::string number = ReadLine(*s_xvfb, 30000);
        if (number.empty())
            return;
        s_display = ":" + number;
        s_x = XOpenDisplay(s_display.c_str());
        for (auto [receiver, title] : {std::pair{&s_receiverA, kTitleA}, std::pair{&s_receiverB, kTitleB}}) {
            *receiver = Start(QStringLiteral(KORVIN_KEYRECEIVER), {QString::fromUtf8(title)},
                              QString::fromStdString(s_display));
            EXPECT_EQ(ReadLine(**receiver, 30000), "ready") << title;
        }
        // A window with nothing but a Latin-1 WM_NAME, like older toolkits make.
        s_raw = XCreateSimpleWindow(s_x, DefaultRootWindow(s_x), 0, 0, 200, 50, 0, 0, 0);
        XStoreName(s_x, s_raw, kRawTitleLatin1);
        XMapWindow(s_x, s_raw);
        XSync(s_x, False);
    }

    static void TearDownTestSuite()
    {
        Stop(s_openbox);
        Stop(s_receiverA);
        Stop(s_receiverB);
        if (s_x)
            XCloseDisplay(s_x);
        s_x = nullptr;
        Stop(s_xvfb);
    }

    void SetUp() override
    {
        if (!s_x)
            GTEST_SKIP() << "no Xvfb";
    }

    static void UseWindowManager(bool on)
    {
        if (!on) {
            Stop(s_openbox);
            return;
        }
        if (s_openbox)
            return;
        s_openbox = Start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")},
                          QString::fromStdString(s_display));
        // Managing starts once its check window is announced on the root.
        const Atom check = XInternAtom(s_x, "_NET_SUPPORTING_WM_CHECK", False);
        for (int i = 0; i < 2000; ++i) {
            Atom type = 0;
            int format = 0;
            unsigned long n = 0, after = 0;
            unsigned char *data = nullptr;
            XGetWindowProperty(s_x, DefaultRootWindow(s_x), check, 0, 1, False, AnyPropertyType, &type,
                               &format, &n, &after, &data);
            if (data)
                XFree(data);
            if (n == 1)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200)); // existing windows get their frames
    }

    static std::unique_ptr<KeyBackend> Backend()
    {
        X11BackendOptions options;
        options.display = s_display;
        return CreateX11Backend(options);
    }

    // The window with the keyboard focus: its title, from our own connection.
    static std::string FocusedTitle()
    {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(s_x, &focus, &revert);
        if (focus == 0 || focus == PointerRoot)
            return {};
        if (focus == s_raw)
            return kRawTitleUtf8;
        char *name = nullptr;
        XFetchName(s_x, focus, &name);
        // Qt stores the UTF-8 title in _NET_WM_NAME; read that.
        const Atom netName = XInternAtom(s_x, "_NET_WM_NAME", False);
        Atom type = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char *data = nullptr;
        XGetWindowProperty(s_x, focus, netName, 0, 1024, False, AnyPropertyType, &type, &format, &n, &after,
                           &data);
        std::string title = data ? std::string(reinterpret_cast<char *>(data), n) : std::string(name ? name : "");
        if (data)
            XFree(data);
        if (name)
            XFree(name);
        return title;
    }

    static inline std::unique_ptr<QProcess> s_xvfb, s_openbox, s_receiverA, s_receiverB;
    static inline std::string s_display;
    static inline Display *s_x = nullptr;
    static inline Window s_raw = 0;
};

TEST_F(X11BackendTest, ActivatesByExactThenPrefixTitleAndFailsWithoutMovingTheFocus)
{
    struct Row {
        const char *query;
        const char *focused; // nullptr: activation fails
    };
    const Row rows[] = {
        {kTitleA, kTitleA},                     // exact, though B's title begins with it too
        {"Korvin 受信テスト (", kTitleB},        // prefix
        {kRawTitleUtf8, kRawTitleUtf8},          // Latin-1 WM_NAME only
        {"Vantor frontier", nullptr},            // no such window: the focus stays
        {"", nullptr},
        {"korvin 受信テスト", nullptr},          // titles are compared as they stand
        {kTitleA, kTitleA},
    };
    for (bool wm : {false, true}) {
        UseWindowManager(wm);
        auto backend = Backend();
        std::string focused = FocusedTitle();
        for (const Row &row : rows) {
            SCOPED_TRACE(std::string(wm ? "openbox, " : "no window manager, ") + row.query);
            std::string error;
            const bool ok = backend->activate(row.query, error);
            EXPECT_EQ(ok, row.focused != nullptr) << error;
            if (row.focused)
                focused = row.focused;
            else
                EXPECT_NE(error.find(row.query), std::string::npos) << error;
            EXPECT_EQ(FocusedTitle(), focused);
        }
    }
}

TEST_F(X11BackendTest, TypesTextAsWrittenWithCapsLockOffAndOn)
{
    const std::u32string path = U"/tmp/Korvin テスト/東京Data_1.txt";
    const std::string pathUtf8 = "/tmp/Korvin テスト/東京Data_1.txt";
    const Actions exportKeys = Text(path) + Actions{Key(NamedKey::Enter), Key(NamedKey::F8), Char(U'F', true),
                                                    Key(NamedKey::PageDown)};
    const Actions symbols = Text(U"Ab~!{}[]+^%()\"'`<>?|\\ =_-;:,.@#$&*09") +
                            Actions{Key(NamedKey::Tab, true), Char(U'a', false, true), Key(NamedKey::Insert),
                                    Key(NamedKey::Home), Key(NamedKey::Up), Key(NamedKey::F6), Key(NamedKey::F6)};
    struct Row {
        const char *window;
        bool caps;
        Actions actions;
        std::string arrived;
    };
    const Row rows[] = {
        {kTitleA, false, exportKeys, pathUtf8 + "{Return}{F8}F{PgDown}"},
        // Caps Lock on: the text still arrives as written; the Shift press
        // of the "F" is kept, so it arrives in lower case.
        {kTitleA, true, exportKeys, pathUtf8 + "{Return}{F8}f{PgDown}"},
        {kTitleB, false, symbols,
         "Ab~!{}[]+^%()\"'`<>?|\\ =_-;:,.@#$&*09{Shift+Backtab}{Ctrl+A}{Ins}{Home}{Up}{F6}{F6}"},
        {kTitleB, true, symbols,
         "Ab~!{}[]+^%()\"'`<>?|\\ =_-;:,.@#$&*09{Shift+Backtab}{Ctrl+A}{Ins}{Home}{Up}{F6}{F6}"},
        // Letters with case that are not on the keymap.
        {kTitleA, true, Text(U"ÄéÅø Zz ñÑ"), "ÄéÅø Zz ñÑ"},
        {kTitleA, false, Text(U"ÄéÅø Zz ñÑ"), "ÄéÅø Zz ñÑ"},
    };
    for (bool wm : {false, true}) {
        UseWindowManager(wm);
        auto backend = Backend();
        for (const Row &row : rows) {
            SCOPED_TRACE(std::string(wm ? "openbox, " : "no window manager, ") + row.window +
                         (row.caps ? ", Caps Lock on: " : ", Caps Lock off: ") + row.arrived);
            QProcess &receiver = row.window == kTitleA ? *s_receiverA : *s_receiverB;
            std::string error;
            ASSERT_TRUE(backend->activate(row.window, error)) << error;
            ASSERT_TRUE(backend->setCapsLock(row.caps, error)) << error;
            ASSERT_TRUE(backend->send(row.actions + Actions{Key(NamedKey::Escape)}, error)) << error;
            EXPECT_EQ(ReadLine(receiver), row.arrived);
            bool caps = !row.caps;
            ASSERT_TRUE(backend->capsLock(caps, error)) << error;
            EXPECT_EQ(caps, row.caps) << "sending changed Caps Lock";
            ASSERT_TRUE(backend->setCapsLock(false, error)) << error;
        }
    }
}

TEST_F(X11BackendTest, CapsLockRoundTrip)
{
    auto backend = Backend();
    for (bool wanted : {true, true, false, false, true, false}) {
        std::string error;
        ASSERT_TRUE(backend->setCapsLock(wanted, error)) << error;
        bool on = !wanted;
        ASSERT_TRUE(backend->capsLock(on, error)) << error;
        EXPECT_EQ(on, wanted);
    }
}

TEST(X11BackendNoDisplay, FailsWithAReason)
{
    X11BackendOptions options;
    options.display = ":9999";
    auto backend = CreateX11Backend(options);
    std::string error;
    bool on = false;
    EXPECT_FALSE(backend->activate(kTitleA, error));
    EXPECT_NE(error.find(":9999"), std::string::npos) << error;
    EXPECT_FALSE(backend->send({Char(U'a')}, error));
    EXPECT_FALSE(backend->capsLock(on, error));
}

} // namespace
} // namespace korvin::host::x11

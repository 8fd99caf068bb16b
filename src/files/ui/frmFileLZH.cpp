#include "files/ui/frmFileLZH.h"

#include "platform/dialogs.h"
#include "platform/ui/buttonarray.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::files::ui {

frmFileLZH::frmFileLZH(QWidget *opener) : KorvinWindow(opener)
{
    setObjectName(QStringLiteral("frmFileLZH"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral("  / Copy LZH"));

    m_title = new QLabel(QStringLiteral("LZHファイルコピー"), this);
    m_title->setObjectName(QStringLiteral("LabelTitle"));
    QFont big = m_title->font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    m_title->setFont(big);

    static const char16_t *const captions[] = {u"コピー元フォルダ名",   u"コピー先フォルダ名１",
                                               u"コピー先フォルダ名２", u"コピー先フォルダ名３",
                                               u"コピー先フォルダ名４", u"コピー先フォルダ名５"};
    auto *grid = new QGridLayout;
    for (int i = 0; i <= kDestinationCount; ++i) {
        m_labels[size_t(i)] = new QLabel(QString::fromUtf16(captions[i]), this);
        m_labels[size_t(i)]->setObjectName(QStringLiteral("LabelPath_%1").arg(i));
        m_texts[size_t(i)] = new QLineEdit(this);
        m_texts[size_t(i)]->setObjectName(QStringLiteral("TextPath_%1").arg(i));
        m_texts[size_t(i)]->setMinimumWidth(380);
        // A gap between the source and the destinations.
        const int row = i == 0 ? 0 : i + 1;
        grid->addWidget(m_labels[size_t(i)], row, 0);
        grid->addWidget(m_texts[size_t(i)], row, 1);
    }
    grid->setRowMinimumHeight(1, 12);

    m_checkDel = new QCheckBox(this);
    m_checkDel->setObjectName(QStringLiteral("CheckDel"));
    m_labelDel = new QLabel(QStringLiteral("コピー元ファイル削除"), this);
    m_labelDel->setObjectName(QStringLiteral("LabelDel"));
    m_labelDel->setBuddy(m_checkDel);
    auto *del = new QHBoxLayout;
    del->addWidget(m_checkDel);
    del->addWidget(m_labelDel);
    del->addStretch();

    m_buttons = platform::ui::ButtonArray(this, QStringLiteral("cmdFileLZH"),
                                          std::array<QString, 2>{QStringLiteral("Close"), QStringLiteral("OK")},
                                          &frmFileLZH::cmdFileLZH_Click);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : m_buttons) {
        b->setMinimumWidth(100);
        buttons->addWidget(b);
    }

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addLayout(grid);
    layout->addLayout(del);
    layout->addStretch();
    layout->addLayout(buttons);

    if (const auto saved = ReadFolderList(FolderListPath())) {
        m_checkDel->setChecked(saved->deleteSources);
        for (int i = 0; i <= kDestinationCount; ++i)
            m_texts[size_t(i)]->setText(saved->paths[size_t(i)]);
    }
}

FolderList frmFileLZH::folderList() const
{
    FolderList list;
    list.deleteSources = m_checkDel->isChecked();
    for (int i = 0; i <= kDestinationCount; ++i)
        list.paths[size_t(i)] = m_texts[size_t(i)]->text();
    return list;
}

void frmFileLZH::cmdFileLZH_Click(int index)
{
    if (index == 1)
        CopyLzhFiles(folderList(), platform::dialogs());
    close();
}

} // namespace korvin::files::ui

#include "platform/ui/filechooser.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTreeView>
#include <QVBoxLayout>

namespace korvin::platform::ui {

FileChooser::FileChooser(QWidget *parent) : QWidget(parent)
{
    m_drive = new QLabel(this);
    m_drive->setObjectName(QStringLiteral("DriveList"));
    m_drive->setFrameShape(QFrame::StyledPanel);

    m_model = new QFileSystemModel(this);
    m_model->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("DirList"));
    m_tree->setModel(m_model);
    for (int c = 1; c < m_model->columnCount(); ++c)
        m_tree->hideColumn(c);
    m_tree->header()->hide();

    m_files = new QListWidget(this);
    m_files->setObjectName(QStringLiteral("FileList"));
    // The folder whose files are listed, in full: the tree shows only what lies below the root.
    m_path = new QLabel(this);
    m_path->setObjectName(QStringLiteral("FolderPath"));
    m_path->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *left = new QVBoxLayout;
    left->addWidget(m_drive);
    left->addWidget(m_tree, 1);
    auto *panes = new QHBoxLayout;
    panes->addLayout(left, 1);
    panes->addWidget(m_files, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_path);
    layout->addLayout(panes, 1);

    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (current.isValid())
            setCurrentFolder(m_model->filePath(current));
    });
    // Folders beside the root appear as the tree loads in the background.
    connect(m_model, &QFileSystemModel::rowsInserted, this, [this](const QModelIndex &under) {
        if (under == m_tree->rootIndex())
            hideBesideRoot();
    });
    connect(m_model, &QFileSystemModel::layoutChanged, this, [this] { hideBesideRoot(); });
    connect(m_files, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { emit fileActivated(item->text()); });
}

void FileChooser::setRoot(const QString &folder)
{
    QString f = QDir(folder).absolutePath();
    m_root = f;
    m_drive->setText(QDir::rootPath());
    // The tree hangs from the root's parent with the root as its only shown
    // item, so that after a subfolder the root itself can be chosen again.
    QDir parent(f);
    if (parent.cdUp() && parent.absolutePath() != f) {
        m_model->setRootPath(parent.absolutePath());
        m_tree->setRootIndex(m_model->index(parent.absolutePath()));
        hideBesideRoot();
        m_tree->expand(m_model->index(f));
    } else {
        m_tree->setRootIndex(m_model->setRootPath(f));
    }
    setCurrentFolder(f);
}

void FileChooser::hideBesideRoot()
{
    const QModelIndex top = m_tree->rootIndex();
    if (!top.isValid() || m_model->filePath(top) == m_root)
        return;
    for (int r = 0; r < m_model->rowCount(top); ++r)
        m_tree->setRowHidden(r, top, m_model->filePath(m_model->index(r, 0, top)) != m_root);
}

void FileChooser::setPattern(const QString &pattern)
{
    m_pattern = pattern;
    refreshFiles();
}

void FileChooser::setCurrentFolder(const QString &folder)
{
    m_folder = QDir(folder).absolutePath();
    m_path->setText(QDir::toNativeSeparators(m_folder));
    refreshFiles();
}

void FileChooser::refreshFiles()
{
    m_files->clear();
    if (m_folder.isEmpty())
        return;
    QDir dir(m_folder);
    // Without QDir::CaseSensitive the name filter ignores letter case.
    const QStringList names = dir.entryList(m_pattern.isEmpty() ? QStringList() : QStringList{m_pattern},
                                            QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase);
    m_files->addItems(names);
}

QStringList FileChooser::fileNames() const
{
    QStringList out;
    for (int i = 0; i < m_files->count(); ++i)
        out << m_files->item(i)->text();
    return out;
}

bool FileChooser::selectFile(const QString &name)
{
    for (int i = 0; i < m_files->count(); ++i) {
        if (m_files->item(i)->text() == name) {
            m_files->setCurrentRow(i);
            return true;
        }
    }
    return false;
}

QString FileChooser::selectedFile() const
{
    const auto items = m_files->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

} // namespace korvin::platform::ui

#pragma once
// The file chooser of the race-card and time-rank file windows: the root in
// place of a drive list (there are no drive letters here), a folder tree rooted
// at a given folder, and the files of the chosen folder that match a pattern,
// letter case ignored.
#include <QWidget>

class QLabel;
class QListWidget;
class QTreeView;
class QFileSystemModel;
class QListWidgetItem;

namespace korvin::platform::ui {

class FileChooser : public QWidget {
    Q_OBJECT
public:
    explicit FileChooser(QWidget *parent = nullptr);

    // Roots the folder tree at folder and shows its files.
    void setRoot(const QString &folder);
    QString root() const { return m_root; }
    // File-name pattern such as "DC*.csv"; letter case is ignored.
    void setPattern(const QString &pattern);
    QString pattern() const { return m_pattern; }

    // Shows the files of another folder (within the tree).
    void setCurrentFolder(const QString &folder);
    QString currentFolder() const { return m_folder; }
    // File names listed for the current folder, in the order shown.
    QStringList fileNames() const;
    // Selects a listed file by name; false when it is not listed.
    bool selectFile(const QString &name);
    // The selected file name, empty when none is selected.
    QString selectedFile() const;

    QListWidget *fileList() const { return m_files; }
    QTreeView *folderTree() const { return m_tree; }

signals:
    // Double-click on a file.
    void fileActivated(const QString &name);

private:
    void refreshFiles();
    void hideBesideRoot();

    QString m_root;
    QString m_folder;
    QString m_pattern;
    QLabel *m_drive;
    QLabel *m_path;
    QTreeView *m_tree;
    QFileSystemModel *m_model;
    QListWidget *m_files;
};

} // namespace korvin::platform::ui

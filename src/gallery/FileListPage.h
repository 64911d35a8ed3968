// The gallery page of the file list: a folder tree, the folder and file
// toolbar and a file list linked together, with controls for the list's
// properties and a log of the events.
#pragma once

#include <QWidget>

#include <string>

class QLabel;
class QPlainTextEdit;
class TFileListView;
class TFolderFileToolBar;
class TFolderTreeView;

class FileListPage : public QWidget {
    Q_OBJECT

public:
    explicit FileListPage(QWidget* parent = nullptr);
    ~FileListPage() override;

private:
    void listChanged();
    void log(const QString& line);

    TFolderTreeView* m_tree = nullptr;
    TFolderFileToolBar* m_toolBar = nullptr;
    TFileListView* m_list = nullptr;
    QLabel* m_fileName = nullptr;
    QLabel* m_selected = nullptr;
    QPlainTextEdit* m_events = nullptr;
};

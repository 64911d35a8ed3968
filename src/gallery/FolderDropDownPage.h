// The gallery page of the folder drop-down, with a folder tree beside it that
// follows the same folder, and controls for the drop-down's properties.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class TFolderDropDown;
class TFolderTreeView;

class FolderDropDownPage : public QWidget {
    Q_OBJECT

public:
    explicit FolderDropDownPage(QWidget* parent = nullptr);
    ~FolderDropDownPage() override;

private:
    void dropDownChanged();
    void treeChanged();
    void showFolder(const QString& source, const std::string& path);

    TFolderDropDown* m_dropDown = nullptr;
    TFolderTreeView* m_tree = nullptr;
    QLabel* m_folderName = nullptr;
    QLineEdit* m_path = nullptr;
    QPlainTextEdit* m_events = nullptr;
    bool m_following = false;  // one control is following the other
};

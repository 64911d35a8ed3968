#include "GalleryWindow.h"

#include "DrawingUtilitiesPage.h"
#include "FileListPage.h"
#include "FolderDropDownPage.h"
#include "ShineSpeedButtonPage.h"
#include "HistoryComboBoxPage.h"


GalleryWindow::GalleryWindow(QWidget* parent) : QTabWidget(parent)
{
    setWindowTitle(tr("Pictal 部品ギャラリー"));
    resize(820, 560);
    addTab(new FolderDropDownPage(this), tr("フォルダー ドロップダウン"));
    addTab(new FileListPage(this), tr("ファイル一覧とツールバー"));
    addTab(new ShineSpeedButtonPage(this), tr("シャイン スピードボタン"));
    addTab(new HistoryComboBoxPage(this), tr("履歴コンボボックス"));
    addTab(new DrawingUtilitiesPage(this), tr("描画ユーティリティ"));
}

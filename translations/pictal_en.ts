<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>CommonDialogs</name>
    <message>
        <source>色(&amp;C):</source>
        <translation>&amp;Color:</translation>
    </message>
</context>
<context>
    <name>DrawingUtilitiesPage</name>
    <message>
        <source>直線</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>四角形</source>
        <translation>Rectangle</translation>
    </message>
    <message>
        <source>楕円</source>
        <translation>Ellipse</translation>
    </message>
    <message>
        <source>角丸四角形</source>
        <translation>Rounded rectangle</translation>
    </message>
    <message>
        <source>多角形</source>
        <translation>Polygon</translation>
    </message>
    <message>
        <source>ベジェ曲線</source>
        <translation>Bézier curve</translation>
    </message>
    <message>
        <source>図形:</source>
        <translation>Shape:</translation>
    </message>
    <message>
        <source>表示倍率:</source>
        <translation>Scale:</translation>
    </message>
    <message>
        <source>画像座標:</source>
        <translation>Image coordinates:</translation>
    </message>
    <message>
        <source>点線の色 1...</source>
        <translation>Dash colour 1...</translation>
    </message>
    <message>
        <source>点線の色 2...</source>
        <translation>Dash colour 2...</translation>
    </message>
    <message>
        <source>フォント...</source>
        <translation>Font...</translation>
    </message>
    <message>
        <source>文字の見本 Abc</source>
        <translation>Text sample Abc</translation>
    </message>
    <message>
        <source>画像を開く...</source>
        <translation>Open picture...</translation>
    </message>
    <message>
        <source>画像の上をドラッグすると図形を描きます。離すと四角形の点線が動き続けます。</source>
        <translation>Drag over the picture to draw a shape. When you release it, the dashes around the box keep marching.</translation>
    </message>
    <message>
        <source>画像ライブラリがないため点線は描かれません。</source>
        <translation>The image library is missing, so no dashes are drawn.</translation>
    </message>
    <message>
        <source>画像を開く</source>
        <translation>Open picture</translation>
    </message>
</context>
<context>
    <name>FileListPage</name>
    <message>
        <source>FileName:</source>
        <translation>FileName:</translation>
    </message>
    <message>
        <source>SelectedFiles:</source>
        <translation>SelectedFiles:</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>ファイル名 (FileName):</source>
        <translation>File name (FileName):</translation>
    </message>
    <message>
        <source>フィルター (Filter):</source>
        <translation>Filter (Filter):</translation>
    </message>
    <message>
        <source>フォルダーも表示 (IncludeFolder)</source>
        <translation>Show folders too (IncludeFolder)</translation>
    </message>
    <message>
        <source>エクスプローラーに従う</source>
        <translation>As the file manager shows them</translation>
    </message>
    <message>
        <source>表示しない</source>
        <translation>Hide</translation>
    </message>
    <message>
        <source>表示する</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>隠しファイル (ShowHidden):</source>
        <translation>Hidden files (ShowHidden):</translation>
    </message>
    <message>
        <source>ツールバーにツリーをつなぐ (FolderControl)</source>
        <translation>Link the tree to the toolbar (FolderControl)</translation>
    </message>
    <message>
        <source>ツールバーに一覧をつなぐ (FileListControl)</source>
        <translation>Link the list to the toolbar (FileListControl)</translation>
    </message>
    <message>
        <source>イベント:</source>
        <translation>Events:</translation>
    </message>
</context>
<context>
    <name>FolderDropDownPage</name>
    <message>
        <source>現在のフォルダー (FolderName):</source>
        <translation>Current folder (FolderName):</translation>
    </message>
    <message>
        <source>設定</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>フォルダー:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>親フォルダーへ (SelectParent)</source>
        <translation>Up to the parent folder (SelectParent)</translation>
    </message>
    <message>
        <source>ファイル システムのみ (OnlyFileSystem)</source>
        <translation>File system only (OnlyFileSystem)</translation>
    </message>
    <message>
        <source>エクスプローラーに従う</source>
        <translation>As the file manager shows them</translation>
    </message>
    <message>
        <source>表示しない</source>
        <translation>Hide</translation>
    </message>
    <message>
        <source>表示する</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>隠しフォルダー (ShowHidden):</source>
        <translation>Hidden folders (ShowHidden):</translation>
    </message>
    <message>
        <source>イベント:</source>
        <translation>Events:</translation>
    </message>
</context>
<context>
    <name>GalleryWindow</name>
    <message>
        <source>Pictal 部品ギャラリー</source>
        <translation>Pictal component gallery</translation>
    </message>
    <message>
        <source>フォルダー ドロップダウン</source>
        <translation>Folder drop-down</translation>
    </message>
    <message>
        <source>履歴コンボボックス</source>
        <translation>History combo box</translation>
    </message>
    <message>
        <source>シャイン スピードボタン</source>
        <translation>Shine speed button</translation>
    </message>
    <message>
        <source>ファイル一覧とツールバー</source>
        <translation>File list and toolbar</translation>
    </message>
    <message>
        <source>描画ユーティリティ</source>
        <translation>Drawing utilities</translation>
    </message>
</context>
<context>
    <name>HistoryComboBoxPage</name>
    <message>
        <source>履歴に追加 (AddText)</source>
        <translation>Add to history (AddText)</translation>
    </message>
    <message>
        <source>自動で読み込みと保存 (hsAuto)</source>
        <translation>Load and save automatically (hsAuto)</translation>
    </message>
    <message>
        <source>手動 (hsManual)</source>
        <translation>Manual (hsManual)</translation>
    </message>
    <message>
        <source>自動で保存のみ (hsAutoSave)</source>
        <translation>Save automatically only (hsAutoSave)</translation>
    </message>
    <message>
        <source>自動で読み込みのみ (hsAutoLoad)</source>
        <translation>Load automatically only (hsAutoLoad)</translation>
    </message>
    <message>
        <source>SaveMode:</source>
        <translation>SaveMode:</translation>
    </message>
    <message>
        <source>SaveKeyName:</source>
        <translation>SaveKeyName:</translation>
    </message>
    <message>
        <source>SaveFileName:</source>
        <translation>SaveFileName:</translation>
    </message>
    <message>
        <source>SaveSectionName:</source>
        <translation>SaveSectionName:</translation>
    </message>
    <message>
        <source>ファイルへ保存 (SaveToFile)</source>
        <translation>Save to file (SaveToFile)</translation>
    </message>
    <message>
        <source>SaveFileName が空です</source>
        <translation>SaveFileName is empty</translation>
    </message>
    <message>
        <source>ファイルから読み込み (LoadFromFile)</source>
        <translation>Load from file (LoadFromFile)</translation>
    </message>
    <message>
        <source>レジストリへ保存 (SaveToRegistry)</source>
        <translation>Save to registry (SaveToRegistry)</translation>
    </message>
    <message>
        <source>SaveKeyName が空です</source>
        <translation>SaveKeyName is empty</translation>
    </message>
    <message>
        <source>レジストリから読み込み (LoadFromRegistry)</source>
        <translation>Load from registry (LoadFromRegistry)</translation>
    </message>
    <message>
        <source>履歴を消去</source>
        <translation>Clear the history</translation>
    </message>
    <message>
        <source>イベント:</source>
        <translation>Events:</translation>
    </message>
    <message>
        <source>%1 件の履歴を読み込みました</source>
        <translation>%1 history entries loaded</translation>
    </message>
    <message>
        <source>失敗しました</source>
        <translation>Failed</translation>
    </message>
</context>
<context>
    <name>ShellFolder</name>
    <message>
        <source>マイ コンピュータ</source>
        <translation>Computer</translation>
    </message>
    <message>
        <source>マイ ドキュメント</source>
        <translation>Documents</translation>
    </message>
    <message>
        <source>デスクトップ</source>
        <translation>Desktop</translation>
    </message>
</context>
<context>
    <name>ShineSpeedButtonPage</name>
    <message>
        <source>赤(&amp;R)</source>
        <translation>&amp;Red</translation>
    </message>
    <message>
        <source>緑(&amp;G)</source>
        <translation>&amp;Green</translation>
    </message>
    <message>
        <source>青(&amp;B)</source>
        <translation>&amp;Blue</translation>
    </message>
    <message>
        <source>単独</source>
        <translation>Single</translation>
    </message>
    <message>
        <source>枠 (FrameType):</source>
        <translation>Frame (FrameType):</translation>
    </message>
    <message>
        <source>ホット時の画像 (ActiveImage):</source>
        <translation>Hot image (ActiveImage):</translation>
    </message>
    <message>
        <source>無効時の画像 (DisabledImage):</source>
        <translation>Disabled image (DisabledImage):</translation>
    </message>
    <message>
        <source>配置 (Layout):</source>
        <translation>Layout (Layout):</translation>
    </message>
    <message>
        <source>光の色 (ShineColor):</source>
        <translation>Shine colour (ShineColor):</translation>
    </message>
    <message>
        <source>黄</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>白</source>
        <translation>White</translation>
    </message>
    <message>
        <source>赤</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>水色</source>
        <translation>Aqua</translation>
    </message>
    <message>
        <source>単独ボタンの表題:</source>
        <translation>Caption of the single button:</translation>
    </message>
    <message>
        <source>有効 (Enabled)</source>
        <translation>Enabled (Enabled)</translation>
    </message>
    <message>
        <source>グラデーション (Colors.Gradation)</source>
        <translation>Gradient (Colors.Gradation)</translation>
    </message>
    <message>
        <source>透明 (Transparent)</source>
        <translation>Transparent (Transparent)</translation>
    </message>
    <message>
        <source>すべて上げられる (AllowAllUp)</source>
        <translation>All may be up (AllowAllUp)</translation>
    </message>
    <message>
        <source>クリック中は押した表示 (ClickDownHook)</source>
        <translation>Pressed look while clicking (ClickDownHook)</translation>
    </message>
    <message>
        <source>アクセラレータで押し下げ (AccelCharDown)</source>
        <translation>Accelerator toggles down (AccelCharDown)</translation>
    </message>
    <message>
        <source>文字の影 (FontShadow)</source>
        <translation>Caption shadow (FontShadow)</translation>
    </message>
    <message>
        <source>イベント:</source>
        <translation>Events:</translation>
    </message>
</context>
<context>
    <name>SysUtils</name>
    <message>
        <source>この操作を正しく終了しました。</source>
        <translation>The operation completed successfully.</translation>
    </message>
    <message>
        <source>指定されたファイルが見つかりません。</source>
        <translation>The system cannot find the file specified.</translation>
    </message>
    <message>
        <source>指定されたパスが見つかりません。</source>
        <translation>The system cannot find the path specified.</translation>
    </message>
    <message>
        <source>アクセスが拒否されました。</source>
        <translation>Access is denied.</translation>
    </message>
    <message>
        <source>ハンドルが無効です。</source>
        <translation>The handle is invalid.</translation>
    </message>
    <message>
        <source>このコマンドを実行するのに十分な記憶域がありません。</source>
        <translation>Not enough storage is available to process this command.</translation>
    </message>
    <message>
        <source>別のディスク ドライブにファイルを移動できません。</source>
        <translation>The system cannot move the file to a different disk drive.</translation>
    </message>
    <message>
        <source>デバイスが機能していません。</source>
        <translation>A device attached to the system is not functioning.</translation>
    </message>
    <message>
        <source>別のプロセスがファイルを変更したため、ファイルにアクセスできません。</source>
        <translation>The file cannot be accessed because another process changed it.</translation>
    </message>
    <message>
        <source>ファイルが存在します。</source>
        <translation>The file exists.</translation>
    </message>
    <message>
        <source>パラメーターが間違っています。</source>
        <translation>The parameter is incorrect.</translation>
    </message>
    <message>
        <source>ディスクに十分な空き領域がありません。</source>
        <translation>There is not enough space on the disk.</translation>
    </message>
    <message>
        <source>既に存在するファイルを作成することはできません。</source>
        <translation>Cannot create a file when that file already exists.</translation>
    </message>
    <message>
        <source>ファイル名またはパスが長すぎます。</source>
        <translation>The file name or path is too long.</translation>
    </message>
    <message>
        <source>エラー %1</source>
        <translation>Error %1</translation>
    </message>
    <message>
        <source>&apos;%1&apos; は整数ではありません</source>
        <translation>&apos;%1&apos; is not a valid integer value</translation>
    </message>
    <message>
        <source>リストのインデックスが範囲を超えています (%1)</source>
        <translation>List index out of bounds (%1)</translation>
    </message>
</context>
<context>
    <name>TAppHint</name>
    <message>
        <source>TAppHint コンポーネントは一つしか作成できません。</source>
        <translation>Only one TAppHint component can be created.</translation>
    </message>
</context>
<context>
    <name>TBitmap</name>
    <message>
        <source>%1 × %2 ピクセルのビットマップを作成できません</source>
        <translation>Cannot create a bitmap of %1 x %2 pixels</translation>
    </message>
    <message>
        <source>ビットマップのピクセル形式を変換できません</source>
        <translation>Cannot convert the bitmap&apos;s pixel format</translation>
    </message>
    <message>
        <source>スキャンラインのインデックスが範囲を超えています</source>
        <translation>Scan line index out of range</translation>
    </message>
    <message>
        <source>画像 &quot;%1&quot; を読み込めません: %2</source>
        <translation>Cannot load the picture &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>画像 &quot;%1&quot; を読み込めません: メモリが足りません</source>
        <translation>Cannot load the picture &quot;%1&quot;: not enough memory</translation>
    </message>
    <message>
        <source>ビットマップ リソース &quot;%1&quot; が見つかりません</source>
        <translation>Bitmap resource &quot;%1&quot; not found</translation>
    </message>
    <message>
        <source>空のビットマップは &quot;%1&quot; に保存できません</source>
        <translation>Cannot save an empty bitmap to &quot;%1&quot;</translation>
    </message>
    <message>
        <source>&quot;%1&quot; に書き込めません: %2</source>
        <translation>Cannot write &quot;%1&quot;: %2</translation>
    </message>
</context>
<context>
    <name>TExFolderPicker</name>
    <message>
        <source>フォルダーの参照</source>
        <translation>Browse For Folder</translation>
    </message>
    <message>
        <source>フォルダー:</source>
        <translation>Folder:</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>TFflFileStyleMenu</name>
    <message>
        <source>並べて表示(&amp;S)</source>
        <translation>S&amp;mall Icons</translation>
    </message>
    <message>
        <source>アイコン(&amp;N)</source>
        <translation>Lar&amp;ge Icons</translation>
    </message>
    <message>
        <source>一覧(&amp;L)</source>
        <translation>&amp;List</translation>
    </message>
    <message>
        <source>詳細(&amp;D)</source>
        <translation>&amp;Details</translation>
    </message>
</context>
<context>
    <name>TFileListBox</name>
    <message>
        <source>%1 を開けません</source>
        <translation>Cannot open %1</translation>
    </message>
</context>
<context>
    <name>TFileListView</name>
    <message>
        <source>名前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>サイズ</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>作成日時</source>
        <translation>Created</translation>
    </message>
    <message>
        <source>更新日時</source>
        <translation>Modified</translation>
    </message>
    <message>
        <source>アクセス日時</source>
        <translation>Accessed</translation>
    </message>
    <message>
        <source>属性</source>
        <translation>Attributes</translation>
    </message>
    <message>
        <source>状態</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>オフライン</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>オンライン</source>
        <translation>Online</translation>
    </message>
</context>
<context>
    <name>TFolderFileToolBar</name>
    <message>
        <source>1つ上のフォルダへ</source>
        <translation>Up one folder</translation>
    </message>
    <message>
        <source>表示メニュー</source>
        <translation>View menu</translation>
    </message>
</context>
<context>
    <name>TIniFile</name>
    <message>
        <source>%1 に書き込めません</source>
        <translation>Cannot write to %1</translation>
    </message>
    <message>
        <source>%1 に書き込めません: %2</source>
        <translation>Cannot write to %1: %2</translation>
    </message>
    <message>
        <source>節の名前に改行が含まれています</source>
        <translation>the section name contains a line break</translation>
    </message>
    <message>
        <source>節の名前 %1 に「]」が含まれています</source>
        <translation>the section name %1 contains &quot;]&quot;</translation>
    </message>
    <message>
        <source>[%1] のキー名に改行が含まれています</source>
        <translation>a key name in [%1] contains a line break</translation>
    </message>
    <message>
        <source>[%1] のキー名 %2 に「=」が含まれています</source>
        <translation>the key name %2 in [%1] contains &quot;=&quot;</translation>
    </message>
    <message>
        <source>[%1] %2 の値に改行が含まれています</source>
        <translation>the value of %2 in [%1] contains a line break</translation>
    </message>
    <message>
        <source>[%1] %2 の行は節の見出しと読まれてしまいます</source>
        <translation>the line of %2 in [%1] would be read as a section header</translation>
    </message>
</context>
<context>
    <name>TMainForm1</name>
    <message>
        <source> ファイル振り分け１</source>
        <translation> Send the file to folder 1</translation>
    </message>
    <message>
        <source> ファイル振り分け２</source>
        <translation> Send the file to folder 2</translation>
    </message>
    <message>
        <source> ファイル振り分け３</source>
        <translation> Send the file to folder 3</translation>
    </message>
    <message>
        <source> ファイル振り分け４</source>
        <translation> Send the file to folder 4</translation>
    </message>
    <message>
        <source> ファイル振り分け５</source>
        <translation> Send the file to folder 5</translation>
    </message>
    <message>
        <source> ファイル振り分け６</source>
        <translation> Send the file to folder 6</translation>
    </message>
    <message>
        <source> ファイル振り分け７</source>
        <translation> Send the file to folder 7</translation>
    </message>
    <message>
        <source> ファイル振り分け８</source>
        <translation> Send the file to folder 8</translation>
    </message>
    <message>
        <source> ファイル振り分け９</source>
        <translation> Send the file to folder 9</translation>
    </message>
    <message>
        <source> 移動・複製先フォルダ１</source>
        <translation> Destination folder 1</translation>
    </message>
    <message>
        <source> 移動・複製先フォルダ２</source>
        <translation> Destination folder 2</translation>
    </message>
    <message>
        <source> 移動・複製先フォルダ３</source>
        <translation> Destination folder 3</translation>
    </message>
    <message>
        <source> 移動・複製先フォルダ４</source>
        <translation> Destination folder 4</translation>
    </message>
    <message>
        <source> 移動・複製先フォルダ５</source>
        <translation> Destination folder 5</translation>
    </message>
    <message>
        <source> 移動・複製先フォルダ６</source>
        <translation> Destination folder 6</translation>
    </message>
    <message>
        <source> 移動・複製先フォルダ７</source>
        <translation> Destination folder 7</translation>
    </message>
    <message>
        <source> 移動・複製先フォルダ８</source>
        <translation> Destination folder 8</translation>
    </message>
    <message>
        <source> 移動・複製先フォルダ９</source>
        <translation> Destination folder 9</translation>
    </message>
    <message>
        <source> フォルダの選択</source>
        <translation> Choose a folder</translation>
    </message>
    <message>
        <source> 振り分ける画像</source>
        <translation> The picture to sort</translation>
    </message>
    <message>
        <source> ファイルの選択(BMP,JPEG,JPEG2000,GIF,TIFF,PCX,FPX,PNG,WMF,EMF)</source>
        <translation> Choose a file (BMP,JPEG,JPEG2000,GIF,TIFF,PCX,FPX,PNG,WMF,EMF)</translation>
    </message>
    <message>
        <source>最新の情報に更新(&amp;E)</source>
        <translation>R&amp;efresh</translation>
    </message>
    <message>
        <source>ファイルの移動</source>
        <translation>Move files</translation>
    </message>
    <message>
        <source> ファイル移動モードへ</source>
        <translation> Switch to moving files</translation>
    </message>
    <message>
        <source>ファイルの複製</source>
        <translation>Copy files</translation>
    </message>
    <message>
        <source> ファイル複製モードへ</source>
        <translation> Switch to copying files</translation>
    </message>
    <message>
        <source> 次のファイルへ</source>
        <translation> Next file</translation>
    </message>
    <message>
        <source> 閉じる</source>
        <translation> Close</translation>
    </message>
    <message>
        <source> 最小化</source>
        <translation> Minimize</translation>
    </message>
    <message>
        <source> ユーザーズガイド</source>
        <translation> User&apos;s guide</translation>
    </message>
    <message>
        <source> インフォメーション</source>
        <translation> Information</translation>
    </message>
</context>
<context>
    <name>TSortingSession</name>
    <message>
        <source>%1 を %2 に移動できません: %3</source>
        <translation>Cannot move %1 to %2: %3</translation>
    </message>
    <message>
        <source>%1 を %2 に複製できません: %3</source>
        <translation>Cannot copy %1 to %2: %3</translation>
    </message>
    <message>
        <source>%1 を %2 に複製できません: 同じ名前のファイルをごみ箱に移せません: %3</source>
        <translation>Cannot copy %1 to %2: the file of the same name there cannot be moved to the trash: %3</translation>
    </message>
    <message>
        <source>%1 を %2 に移動できません: 同じ名前のファイルをごみ箱に移せません: %3</source>
        <translation>Cannot move %1 to %2: the file of the same name there cannot be moved to the trash: %3</translation>
    </message>
    <message>
        <source>（置き換えられるはずだったファイルはごみ箱にあります: %1）</source>
        <translation> (the file it was to replace is in the trash: %1)</translation>
    </message>
</context>
<context>
    <name>TUndoHistory</name>
    <message>
        <source>%1 は振り分けの後に変更されたため、元に戻せません。</source>
        <translation>%1 was changed after it was sorted, so the sorting cannot be undone.</translation>
    </message>
    <message>
        <source>%1 は振り分けの後に移動または削除されたため、元に戻せません。</source>
        <translation>%1 was moved or removed after it was sorted, so the sorting cannot be undone.</translation>
    </message>
    <message>
        <source>%1 には別のファイルがあるため、元に戻せません。</source>
        <translation>Another file now has the name %1, so the sorting cannot be undone.</translation>
    </message>
    <message>
        <source>置き換えられたファイル %1 がごみ箱にないため、元に戻せません。</source>
        <translation>The replaced file %1 is no longer in the trash, so the sorting cannot be undone.</translation>
    </message>
    <message>
        <source>%1 を元に戻せません: %2</source>
        <translation>Cannot undo the sorting of %1: %2</translation>
    </message>
    <message>
        <source>%1 は元に戻した後に変更されたため、やり直せません。</source>
        <translation>%1 was changed after the undo, so the sorting cannot be redone.</translation>
    </message>
    <message>
        <source>%1 は元に戻した後に移動または削除されたため、やり直せません。</source>
        <translation>%1 was moved or removed after the undo, so the sorting cannot be redone.</translation>
    </message>
    <message>
        <source>%1 には別のファイルがあるため、やり直せません。</source>
        <translation>Another file now has the name %1, so the sorting cannot be redone.</translation>
    </message>
    <message>
        <source>%1 をやり直せません: %2</source>
        <translation>Cannot redo the sorting of %1: %2</translation>
    </message>
</context>
<context>
    <name>TVxSlideAboutForm</name>
    <message>
        <source>バージョン情報</source>
        <translation>Version Information</translation>
    </message>
    <message>
        <source>バージョン</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>製品バージョン</source>
        <translation>Product Version</translation>
    </message>
    <message>
        <source>ファイルバージョン</source>
        <translation>File Version</translation>
    </message>
</context>
</TS>

// The shell browsing controls (the folder tree, the file list, the folder
// drop-down, the folder and file toolbar with the view-style menu) and what
// they share: the icon list, the records of nodes, entries and items, the
// hidden-item rule, the item helpers and the shortcut resolution.
#pragma once

#include "FflFileStyleMenu.h"
#include "FflIconList.h"
#include "FileListView.h"
#include "FolderDropDown.h"
#include "FolderFileToolBar.h"
#include "FolderTreeView.h"
#include "FflRecords.h"
#include "HiddenItems.h"
#include "IconAssignment.h"
#include "ItemIdHelpers.h"
#include "ShellItems.h"
#include "ShortcutResolution.h"

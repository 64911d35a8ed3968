// The shell browsing controls (the folder tree, the folder drop-down) and
// what they share: the icon list, the records of nodes, entries and items,
// the hidden-item rule, the item helpers and the shortcut resolution.
#pragma once

#include "FflIconList.h"
#include "FolderDropDown.h"
#include "FolderTreeView.h"
#include "FflRecords.h"
#include "HiddenItems.h"
#include "IconAssignment.h"
#include "ItemIdHelpers.h"
#include "ShellItems.h"
#include "ShortcutResolution.h"

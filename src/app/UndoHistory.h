// The session's history of dispatches, for undo and redo.
//
// Every transfer of a dispatch goes through the history: a file already at
// the target goes to the trash in one step with the transfer (Trash.h), the
// transfer is logged (DispatchLog.h), and a successful one becomes the step
// that Undo takes back. The last 100 steps are kept, across source folders,
// for as long as the program runs; a new dispatch drops the steps that could
// have been redone.
//
// Undo puts a moved file back at its old path and a copy's new file into the
// trash, and brings back from the trash the file the dispatch replaced. Redo
// does the transfer again. Neither goes ahead unless it can be done safely:
// the file it would take back must be the very file the step left (device,
// inode, size and modification time), a replaced file must still be in the
// trash, and the name the file returns to must be free. Otherwise it raises
// Exception with the reason and changes nothing; the step stays where it is.
#pragma once

#include "DispatchLog.h"
#include "FileOps.h"
#include "Trash.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

// One dispatch's transfer.
struct TDispatchStep {
    bool Copy = false;    // a copy, else a move
    std::string Source;   // the file in its source folder
    std::string Target;   // its path in the slot's folder
    FileIdentity AtSource;  // the file at Source before a move, or the copied file
    FileIdentity AtTarget;  // what the transfer left at Target
    std::optional<TrashedFile> Replaced;  // what was at Target, in the trash now
};

// How a dispatch's transfer went.
struct TTransferResult {
    bool Done = false;
    bool TrashRefused = false;  // the file at the target could not go to the trash
    DWORD Error = 0;            // the system's error when not done
    std::optional<TrashedFile> Stranded;  // a replaced file left in the trash by a failure
};

class TUndoHistory {
public:
    static constexpr std::size_t kDepth = 100;

    explicit TUndoHistory(TDispatchLog& log) : FLog(log) {}

    // Moves (or copies) source to target, replacing into the trash; a done
    // transfer becomes the step to undo.
    TTransferResult Transfer(const std::string& source, const std::string& target, bool copy);

    bool CanUndo() const { return FDone > 0; }
    bool CanRedo() const { return FDone < FSteps.size(); }
    // Takes the last done step back and returns it.
    const TDispatchStep& Undo();
    // Does the last undone step again and returns it.
    const TDispatchStep& Redo();

private:
    TDispatchLog& FLog;
    // The file at path was `was` and is now whatever is there (a move across
    // file systems makes a new file): every step that knows it learns so.
    void renew(const std::string& path, const FileIdentity& was);

    std::deque<TDispatchStep> FSteps;
    std::size_t FDone = 0;  // steps [0, FDone) are done, the rest undone
};

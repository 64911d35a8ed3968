#include "UndoHistory.h"

#include "Exception.h"
#include "LastError.h"
#include "SysUtils.h"
#include "Translation.h"

#include <utility>

namespace {

[[noreturn]] void refuse(const char* text, const std::string& path)
{
    throw Exception(Substitute(Translate("TUndoHistory", text), {path}));
}

[[noreturn]] void refuseWithError(const char* text, const std::string& path, DWORD error)
{
    throw Exception(Substitute(Translate("TUndoHistory", text), {path, SysErrorMessage(error)}));
}

std::string mode(const TDispatchStep& step)
{
    return step.Copy ? "copy" : "move";
}

std::string failed(DWORD error)
{
    return "failed: " + SysErrorMessage(error);
}

std::string doneReplacing(const std::optional<TrashedFile>& replaced)
{
    return replaced ? "ok; the file it replaced is in the trash: " + replaced->TrashPath : "ok";
}

// What the file at path is now, against what it should be.
enum TState { stSame, stChanged, stGone };

TState stateOf(const std::string& path, const FileIdentity& expected)
{
    FileIdentity now;
    if (!GetFileIdentity(path, now) || !now.SameFile(expected))
        return stGone;
    return now == expected ? stSame : stChanged;
}

// Whether something is at path, or may be: only "no such file" and "no such
// folder" say the name is free (a missing folder is then the move's to report).
bool taken(const std::string& path)
{
    FileIdentity any;
    if (GetFileIdentity(path, any))
        return true;
    const DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
}

// The path as the transfer used it: a relative one against the working folder
// of that moment, which later folder changes move.
std::string absolute(const std::string& path)
{
    return path.empty() || path.front() == '/' ? path : ExpandFileName(path);
}

}  // namespace

TTransferResult TUndoHistory::Transfer(const std::string& source, const std::string& target, bool copy)
{
    TDispatchStep step;
    step.Copy = copy;
    step.Source = absolute(source);
    step.Target = absolute(target);
    GetFileIdentity(source, step.AtSource);
    TrashReplacement replacement;
    TTransferResult result;
    result.Done = TransferReplacingIntoTrash(source, target, copy, replacement);
    if (!result.Done) {
        result.Error = GetLastError();
        result.TrashRefused = replacement.TrashRefused;
        result.Stranded = replacement.Replaced;
        std::string outcome = failed(result.Error);
        if (result.TrashRefused)
            outcome += "; the file at the target could not go to the trash and stays";
        if (result.Stranded)
            outcome += "; the file it was to replace is in the trash: " + result.Stranded->TrashPath;
        FLog.Write(mode(step), source, target, outcome);
        return result;
    }
    GetFileIdentity(target, step.AtTarget);
    step.Replaced = replacement.Replaced;
    FLog.Write(mode(step), source, target, doneReplacing(step.Replaced));
    FSteps.resize(FDone);  // what could be redone goes
    FSteps.push_back(std::move(step));
    if (FSteps.size() > kDepth)
        FSteps.pop_front();
    FDone = FSteps.size();
    return result;
}

const TDispatchStep& TUndoHistory::Undo()
{
    TDispatchStep& step = FSteps.at(FDone - 1);
    // Everything is checked before anything moves.
    switch (stateOf(step.Target, step.AtTarget)) {
    case stChanged:
        refuse(QT_TRANSLATE_NOOP("TUndoHistory", "%1 は振り分けの後に変更されたため、元に戻せません。"), step.Target);
    case stGone:
        refuse(QT_TRANSLATE_NOOP("TUndoHistory", "%1 は振り分けの後に移動または削除されたため、元に戻せません。"),
               step.Target);
    case stSame:
        break;
    }
    if (!step.Copy && taken(step.Source))
        refuse(QT_TRANSLATE_NOOP("TUndoHistory", "%1 には別のファイルがあるため、元に戻せません。"), step.Source);
    if (step.Replaced && stateOf(step.Replaced->TrashPath, step.Replaced->Identity) != stSame)
        refuse(QT_TRANSLATE_NOOP("TUndoHistory", "置き換えられたファイル %1 がごみ箱にないため、元に戻せません。"),
               step.Target);

    const std::string what = "undo " + mode(step);
    // The file leaves the target: a moved one back to its old path, a copy
    // into the trash.
    TrashedFile copyInTrash;
    const bool away = step.Copy ? MoveToTrash(step.Target, copyInTrash)
                                : MoveFileExA(step.Target, step.Source, MOVEFILE_COPY_ALLOWED);
    const std::string awayTo = step.Copy ? copyInTrash.TrashPath : step.Source;
    if (!away) {
        const DWORD error = GetLastError();
        FLog.Write(what, step.Target, step.Copy ? "trash" : step.Source, failed(error));
        refuseWithError(QT_TRANSLATE_NOOP("TUndoHistory", "%1 を元に戻せません: %2"), step.Target, error);
    }
    // The replaced file comes back; if it cannot, the file goes back too.
    if (step.Replaced && !RestoreFromTrash(*step.Replaced)) {
        const DWORD error = GetLastError();
        if (step.Copy) {
            RestoreFromTrash(copyInTrash);
        } else if (MoveFileExA(step.Source, step.Target, MOVEFILE_COPY_ALLOWED)) {
            renew(step.Target, step.AtTarget);
        }
        FLog.Write(what, step.Replaced->TrashPath, step.Target, failed(error));
        refuseWithError(QT_TRANSLATE_NOOP("TUndoHistory", "%1 を元に戻せません: %2"), step.Target, error);
    }
    FLog.Write(what, step.Target, awayTo, "ok");
    if (step.Replaced)
        FLog.Write(what, step.Replaced->TrashPath, step.Target, "ok; the replaced file is back");
    if (!step.Copy)
        renew(step.Source, step.AtSource);
    --FDone;
    return step;
}

const TDispatchStep& TUndoHistory::Redo()
{
    TDispatchStep& step = FSteps.at(FDone);
    switch (stateOf(step.Source, step.AtSource)) {
    case stChanged:
        refuse(QT_TRANSLATE_NOOP("TUndoHistory", "%1 は元に戻した後に変更されたため、やり直せません。"), step.Source);
    case stGone:
        refuse(QT_TRANSLATE_NOOP("TUndoHistory", "%1 は元に戻した後に移動または削除されたため、やり直せません。"),
               step.Source);
    case stSame:
        break;
    }
    // The target may hold only the file the step replaced before, back from the trash.
    if (taken(step.Target) && (!step.Replaced || stateOf(step.Target, step.Replaced->Identity) != stSame))
        refuse(QT_TRANSLATE_NOOP("TUndoHistory", "%1 には別のファイルがあるため、やり直せません。"), step.Target);

    const std::string what = "redo " + mode(step);
    TrashReplacement replacement;
    if (!TransferReplacingIntoTrash(step.Source, step.Target, step.Copy, replacement)) {
        const DWORD error = GetLastError();
        FLog.Write(what, step.Source, step.Target, failed(error));
        refuseWithError(QT_TRANSLATE_NOOP("TUndoHistory", "%1 をやり直せません: %2"), step.Source, error);
    }
    step.Replaced = replacement.Replaced;
    renew(step.Target, step.AtTarget);
    FLog.Write(what, step.Source, step.Target, doneReplacing(step.Replaced));
    ++FDone;
    return step;
}

void TUndoHistory::renew(const std::string& path, const FileIdentity& was)
{
    const FileIdentity old = was;  // was may be one of the fields renewed
    FileIdentity now;
    if (!GetFileIdentity(path, now))
        return;
    for (TDispatchStep& step : FSteps) {
        if (step.Source == path && step.AtSource == old)
            step.AtSource = now;
        if (step.Target == path && step.AtTarget == old)
            step.AtTarget = now;
    }
}

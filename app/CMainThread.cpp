#include "CMainThread.h"

#include "BankTableStage.h"
#include "CDeviceTable.h"
#include "CDiscList.h"
#include "ComApartment.h"
#include "Commands.h"
#include "ErrorBox.h"
#include "LPath.h"
#include "LStdOut.h"
#include "ProgramObjects.h"
#include "RunStart.h"
#include "SelectionRun.h"

int32_t CMainThread::Run() {
    const Command command = ReadCommand(g_argumentCount, g_arguments);
    LProgramFilePath(programDirectory_);
    int32_t separator = programDirectory_.FindReverse(1, kPathSeparator, -1);
    programDirectory_.Assign(programDirectory_.Left(separator + 1));

    if (!log_.SetPath(programDirectory_.GetText())) {
        ShowErrorBox(u"Cannot set a log file path.", u"Error");
        return command.reading == Command::Reading::kSelection ? 0 : kCommandFailed;
    }

    ComApartment com;
    if (command.reading != Command::Reading::kSelection) {
        return RunCommand(command, programDirectory_);
    }
    CDiscList discs(g_argumentCount, g_arguments);
    if (!discs.IsValid()) {
        return 0;
    }

    CDeviceTable devices;
    const std::optional<BankTableStart> start = StartRun(programDirectory_, true);
    if (!start || !LoadBankTable(*start, devices)) {
        return 0;
    }
    RunSelection(discs, devices);
    return 0;
}

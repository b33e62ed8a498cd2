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
#include "SelectionRun.h"

int32_t CMainThread::Run() {
    const Command command = ReadCommand(g_argumentCount, g_arguments);
    LProgramFilePath(programDirectory_);
    int32_t separator = programDirectory_.FindReverse(1, kPathSeparator, -1);
    programDirectory_.Assign(programDirectory_.Left(separator + 1));

    if (!log_.SetPath(programDirectory_.GetText())) {
        ShowErrorBox(u"Cannot set a log file path.", u"Error");
        return command.kind == CommandKind::kSelection ? 0 : kCommandFailed;
    }

    ComApartment com;
    if (command.kind != CommandKind::kSelection) {
        return RunCommand(command, programDirectory_);
    }
    CDiscList discs(g_argumentCount, g_arguments);
    if (!discs.IsValid()) {
        return 0;
    }

    CDeviceTable devices;
    if (CDeviceTable::GetDeviceCount() == 0) {
        StdOutWrite(kNoDevicesDetected);
        return 0;
    }
    if (!LoadBankTable(programDirectory_, devices)) {
        return 0;
    }
    RunSelection(discs, devices);
    return 0;
}

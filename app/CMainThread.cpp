#include "CMainThread.h"

#include "BankTableStage.h"
#include "CDeviceTable.h"
#include "CDiscList.h"
#include "ComApartment.h"
#include "ErrorBox.h"
#include "LPath.h"
#include "LStdOut.h"
#include "ProgramObjects.h"
#include "SelectionRun.h"

int32_t CMainThread::Run() {
    LProgramFilePath(programDirectory_);
    int32_t separator = programDirectory_.FindReverse(1, kPathSeparator, -1);
    programDirectory_.Assign(programDirectory_.Left(separator + 1));

    if (!log_.SetPath(programDirectory_.GetText())) {
        ShowErrorBox(u"Cannot set a log file path.", u"Error");
        return 0;
    }

    ComApartment com;
    CDiscList discs(g_argumentCount, g_arguments);
    if (!discs.IsValid()) {
        return 0;
    }

    CDeviceTable devices;
    if (CDeviceTable::GetDeviceCount() == 0) {
        StdOutWrite(u"\r\nThere are no CD Libraries detected.\r\n");
        return 0;
    }
    if (!LoadBankTable(programDirectory_, devices)) {
        return 0;
    }
    RunSelection(discs, devices);
    return 0;
}

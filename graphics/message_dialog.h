#pragma once

// Message dialog types and answers; the numbers are the window system's, so back ends pass them on.
enum IMessageDialogType { kMessageOk = 0, kMessageOkCancel = 1, kMessageYesNoCancel = 3, kMessageYesNo = 4 };
enum IMessageDialogResult { kResultOk = 1, kResultCancel = 2, kResultYes = 6, kResultNo = 7 };

// ChooseFile actions.
enum IFileAction { kFileOpen = 0, kFileSave = 1 };

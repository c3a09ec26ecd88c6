#pragma once

class QCoreApplication;

// Qt's own texts in French, as the rest of the program: the print dialog, the
// print preview's buttons, the standard buttons. They come from the
// translations folder beside the program (the Windows zip carries one), else
// from Qt's own translations. False, with Qt's English left, when neither
// holds them.
bool InstallFrenchQtTexts(QCoreApplication& application);

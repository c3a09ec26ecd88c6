#include "ui/ScreenScaling.h"

#include <QByteArray>
#include <QtGlobal>

// The windows are laid out at fixed pixel positions and sizes, and the printed
// grid converts screen pixels to printer dots with the screen's own pixels per
// inch. Qt 6 would instead enlarge every window by the screen's scale factor
// and report a logical resolution divided by it. Turning its high-DPI scaling
// off leaves the screen's real resolution in place (144 at 150 %); Qt still
// honours a global or per-screen factor from the environment on its own, so
// those go too: a factor other than 1 would stretch the fixed layouts.
void KeepDevicePixels()
{
    qputenv("QT_ENABLE_HIGHDPI_SCALING", QByteArrayLiteral("0"));
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
}

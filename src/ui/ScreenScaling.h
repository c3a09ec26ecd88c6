#pragma once

// Keeps one window pixel one device pixel, whatever the desktop's pixels per
// inch (125 %, 150 %) or a scale factor set in the environment. Call it before
// the application object exists: Qt fixes its scale factors as it starts.
void KeepDevicePixels();

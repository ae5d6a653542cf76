#pragma once

class QGuiApplication;

// The one Qt application of an articles test executable (offscreen): the requests' event
// loops, the image plugins and the clipboard need it.
QGuiApplication &aplicacionQt();

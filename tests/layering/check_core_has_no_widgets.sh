#!/bin/sh
# The core must build without Qt Widgets: fail on any include of a Gui, Widgets or
# PrintSupport header under the given source folder.
found=$(grep -rnE '#[[:space:]]*include[[:space:]]*[<"](QtWidgets|QtGui|QtPrintSupport)?/?(Q(Widget|Dialog|MainWindow|Application|Label|PushButton|LineEdit|ComboBox|MessageBox|Painter|Pixmap|Image|Icon|Font|Color|GuiApplication|Printer|Layout|Abstract[A-Za-z]*View)|ui_[a-z_]*\.h)\b' "$1")
if [ -n "$found" ]; then
    echo "Widget or GUI headers in the core:"
    echo "$found"
    exit 1
fi
echo "The core includes no widget header."

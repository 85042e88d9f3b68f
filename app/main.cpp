#include "DeviceLinkState.h"
#include "SgxProgram.h"
#include "SharedValues.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The link's buffers and the shared values exist before any window.
    DeviceLinkState state;
    SharedValues values;

    QApplication app(argc, argv);
    // Desktops match the windows to the installed desktop entry, and so to its name and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(SGX_APP_ID));
    SgxProgram program(state, values);
    program.show();
    return QApplication::exec();
}

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
    SgxProgram program(state, values);
    program.show();
    return QApplication::exec();
}

// Lomitra: converts coordinates between EUREF-FIN and KKJ by JHS 154.
// Starting the program shows the settings window.
#include <QApplication>

#include "platform/interrupt_cleanup.h"
#include "ui/frm_euref.h"
#include "ui/lomitra_program.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    // A result or table file being written when the program is ended by a
    // signal leaves no temporary file behind.
    lomitra::installInterruptCleanup(nullptr);
    lomitra::LomitraProgram program;
    program.settingsWindow().show();
    return QApplication::exec();
}

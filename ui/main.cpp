// Lomitra: converts coordinates between EUREF-FIN and KKJ by JHS 154.
// Starting the program shows the settings window.
#include <QApplication>

#include "ui/frm_euref.h"
#include "ui/lomitra_program.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    lomitra::LomitraProgram program;
    program.settingsWindow().show();
    return QApplication::exec();
}

#include <QApplication>

#include "app/UForms.h"
#include "app/UProgram.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    const auto forms = app::startProgram(application);
    return QApplication::exec();
}

#include "ui/qt_platform_services.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#include "core/texts.h"
#include "ui/window_layout.h"

namespace lomitra {

Answer QtPlatformServices::showMessage(MessageKind kind, std::string_view text) {
    QMessageBox::Icon icon = QMessageBox::Warning;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (kind) {
        case MessageKind::Warning: icon = QMessageBox::Warning; break;
        case MessageKind::Information: icon = QMessageBox::Information; break;
        case MessageKind::Question:
            icon = QMessageBox::Question;
            buttons = QMessageBox::Yes | QMessageBox::No;
            break;
        case MessageKind::Error: icon = QMessageBox::Critical; break;
    }
    QString body = layout::qs(text);
    body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(icon, QStringLiteral("Lomitra"), body, buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    // Finnish buttons whatever the language of the system.
    const auto name = [&box](QMessageBox::StandardButton which, std::string_view caption) {
        if (QAbstractButton* button = box.button(which)) button->setText(layout::qs(caption));
    };
    name(QMessageBox::Yes, texts::kButtonYes);
    name(QMessageBox::No, texts::kButtonNo);
    name(QMessageBox::Ok, texts::kButtonOk);
    const int pressed = box.exec();
    if (kind != MessageKind::Question) return Answer::Ok;
    return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

Date QtPlatformServices::today() const {
    const QDate date = QDate::currentDate();
    return Date{date.year(), date.month(), date.day()};
}

bool QtPlatformServices::printConversionWindow() {
    if (conversionWindow_.isNull()) return false;  // nothing displayed to print
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    if (printerInfo.isNull()) return false;
    const QPixmap image = conversionWindow_->grab();
    if (image.isNull()) return false;

    QPrinter printer(printerInfo, QPrinter::HighResolution);
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    // The window image at its size on screen, shrunk only when it does not fit the page.
    const QRect page = painter.viewport();
    const double screenToPrinter =
        static_cast<double>(printer.resolution()) / conversionWindow_->logicalDpiX();
    const double fit = std::min({screenToPrinter,
                                 static_cast<double>(page.width()) / image.width(),
                                 static_cast<double>(page.height()) / image.height()});
    const QSize size(static_cast<int>(image.width() * fit), static_cast<int>(image.height() * fit));
    painter.drawPixmap(QRect(QPoint(0, 0), size), image);
    return painter.end();
}

bool QtPlatformServices::isExistingFile(const std::string& path) const {
    if (path.empty()) return false;
    const QFileInfo info(QString::fromStdString(path));
    return info.exists() && info.isFile();
}

std::vector<std::string> QtPlatformServices::volumeRoots() const {
    std::vector<std::string> roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid()) roots.push_back(QDir::toNativeSeparators(volume.rootPath()).toStdString());
    }
    return roots;
}

}  // namespace lomitra

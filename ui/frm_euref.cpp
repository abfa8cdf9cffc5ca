#include "ui/frm_euref.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <algorithm>

#include "app/settings_window.h"
#include "ui/frm_laske.h"
#include "ui/lomitra_program.h"
#include "ui/window_layout.h"

namespace lomitra {

using layout::qs;

namespace {

void fill(QComboBox* list, const std::vector<std::string>& items) {
    list->clear();
    for (const std::string& item : items) list->addItem(qs(item));
}

// Image1: a small triangulation network of our own, 319 x 99 pixels.
QPixmap networkPicture() {
    constexpr int kWidth = 319;
    constexpr int kHeight = 99;
    QPixmap picture(kWidth, kHeight);
    picture.fill(QColor(240, 246, 250));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);

    // Common points on a slightly irregular grid, each cell cut into two triangles.
    constexpr int kColumns = 9;
    constexpr int kRows = 3;
    QPointF points[kRows + 1][kColumns + 1];
    for (int row = 0; row <= kRows; ++row) {
        for (int column = 0; column <= kColumns; ++column) {
            const int shift = ((row * 7 + column * 13) % 11) - 5;  // fixed irregularity
            points[row][column] = QPointF(8 + column * 33.7 + shift, 8 + row * 27.5 - shift * 0.6);
        }
    }
    painter.setPen(QPen(QColor(0, 90, 160), 1.0));
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const QPointF corners[4] = {points[row][column], points[row][column + 1],
                                        points[row + 1][column + 1], points[row + 1][column]};
            painter.drawPolygon(corners, 4);
            if ((row + column) % 2 == 0) {
                painter.drawLine(corners[0], corners[2]);
            } else {
                painter.drawLine(corners[1], corners[3]);
            }
        }
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 128, 0));
    for (const auto& row : points) {
        for (const QPointF& point : row) painter.drawEllipse(point, 2.5, 2.5);
    }
    painter.setPen(QPen(QColor(0, 60, 110), 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, kWidth - 1, kHeight - 1);
    return picture;
}

}  // namespace

frmEuref::frmEuref(LomitraProgram& program) : QWidget(nullptr), program_(program) {
    setObjectName(QStringLiteral("frmEuref"));
    setWindowTitle(qs(settings_window::kCaption));
    setFont(layout::sansSerif(8.25, true));
    layout::setClientSize(this, 10290, 6570);
    buildControls();
    Form_Load();
}

frmEuref::~frmEuref() = default;

void frmEuref::buildControls() {
    Label6_ = new QLabel(qs(settings_window::kTitle), this);
    Label6_->setObjectName(QStringLiteral("Label6"));
    QFont titleFont = layout::sansSerif(18, true);
    Label6_->setFont(titleFont);
    Label6_->setWordWrap(true);
    Label6_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette green = Label6_->palette();
    green.setColor(QPalette::WindowText, QColor(0, 128, 0));
    Label6_->setPalette(green);
    layout::placeCaptioned(Label6_, 120, 240, 10335, 855);

    Frame1_ = new QGroupBox(qs(settings_window::kFrameCaption), this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Frame1_->setFont(layout::sansSerif(9.75, true));
    layout::place(Frame1_, 120, 1560, 10095, 3255);

    Label2_ = addRowLabel("Label2", settings_window::kLabelDirection, 480);
    cboMuunnos_ = addList("cboMuunnos", 480);
    Label7_ = addRowLabel("Label7", settings_window::kLabelSourceKind, 840);
    cboLahto_ = addList("cboLahto", 840);
    Label9_ = addRowLabel("Label9", settings_window::kLabelResultKind, 1200);
    cboTulos_ = addList("cboTulos", 1200);
    lblLKaista_ = addRowLabel("lblLKaista", settings_window::kLabelSourceZone, 1560);
    cboLKaista_ = addList("cboLKaista", 1560);
    lblTKaista_ = addRowLabel("lblTKaista", settings_window::kLabelResultZone, 1920);
    cboTKaista_ = addList("cboTKaista", 1920);
    lblLFormaatti_ = addRowLabel("lblLFormaatti", settings_window::kLabelSourceFormat, 2280);
    cboLFormaatti_ = addList("cboLFormaatti", 2280);
    lblTFormaatti_ = addRowLabel("lblTFormaatti", settings_window::kLabelResultFormat, 2640);
    cboTFormaatti_ = addList("cboTFormaatti", 2640);

    cmdLaske_ = layout::addButton(this, QStringLiteral("cmdLaske"), settings_window::kButtonConvert,
                                  720, 5040, 1095);
    cmdOhje_ = layout::addButton(this, QStringLiteral("cmdOhje"), settings_window::kButtonHelp, 720,
                                 5520, 1095);
    cmdUlos_ = layout::addButton(this, QStringLiteral("cmdUlos"), settings_window::kButtonQuit, 720,
                                 6000, 1095);

    Image1_ = new QLabel(this);
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setPixmap(networkPicture());
    layout::place(Image1_, 5040, 4920, 4785, 1485);

    // Keyboard order: cmdUlos first, so the focus starts on "&Lopeta".
    QWidget* const order[] = {cmdUlos_,  cmdLaske_,  cmdOhje_,  cboTFormaatti_, cboMuunnos_,
                              cboTKaista_, cboTulos_, cboLahto_, cboLFormaatti_, cboLKaista_};
    for (QWidget* widget : order) widget->setFocusPolicy(Qt::StrongFocus);
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
    cmdUlos_->setFocus();

    connect(cboMuunnos_, &QComboBox::currentIndexChanged, this, [this] { cboMuunnos_Click(); });
    connect(cboLahto_, &QComboBox::currentIndexChanged, this, [this] { cboLahto_Click(); });
    connect(cboTulos_, &QComboBox::currentIndexChanged, this, [this] { cboTulos_Click(); });
    // The zone and format lists have no handlers; their positions are only stored.
    for (QComboBox* list : {cboLKaista_, cboTKaista_, cboLFormaatti_, cboTFormaatti_}) {
        connect(list, &QComboBox::currentIndexChanged, this, [this] { storeSettings(); });
    }
    connect(cmdLaske_, &QPushButton::clicked, this, [this] { cmdLaske_Click(); });
    connect(cmdOhje_, &QPushButton::clicked, this, [this] { cmdOhje_Click(); });
    connect(cmdUlos_, &QPushButton::clicked, this, [this] { cmdUlos_Click(); });
}

QLabel* frmEuref::addRowLabel(const char* name, std::string_view caption, int top) {
    auto* label = new QLabel(qs(caption), Frame1_);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font());  // the window's font, not the frame's caption font
    layout::placeCaptioned(label, 600, top, 1695, 255);
    return label;
}

QComboBox* frmEuref::addList(const char* name, int top) {
    auto* list = new QComboBox(Frame1_);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(false);  // chosen, never typed
    list->setFont(font());
    layout::place(list, 2400, top, 7455, 315);
    return list;
}

void frmEuref::Form_Load() {
    // lineBreak is the constant texts::kLineBreak; nothing to set at run time.
    loading_ = true;
    fill(cboMuunnos_, directionItems());
    cboMuunnos_->setCurrentIndex(0);
    fill(cboLahto_, sourceKindItems());
    cboLahto_->setCurrentIndex(0);
    fill(cboTulos_, resultKindItems());
    cboTulos_->setCurrentIndex(0);
    fill(cboLFormaatti_, formatItems());
    cboLFormaatti_->setCurrentIndex(0);
    fill(cboTFormaatti_, formatItems());
    cboTFormaatti_->setCurrentIndex(0);
    loading_ = false;
    AsetaMuunnos1();
    AsetaMuunnos2();
    storeSettings();
    fitListsToTheirItems();
}

void frmEuref::fitListsToTheirItems() {
    // The longest items (the angle formats) were laid out for a narrower font
    // than the platform's sans-serif: widen all seven lists alike, with the
    // frame and the window, so that no item is cut. Never narrower than designed.
    QComboBox* const lists[] = {cboMuunnos_, cboLahto_,      cboTulos_,     cboLKaista_,
                                cboTKaista_, cboLFormaatti_, cboTFormaatti_};
    int needed = layout::px(7455);
    for (QComboBox* list : lists) {
        for (int i = 0; i < list->count(); ++i) {
            QStyleOptionComboBox option;
            option.initFrom(list);
            const QSize text(list->fontMetrics().horizontalAdvance(list->itemText(i)) + 8, list->height());
            needed = std::max(needed, list->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, list).width());
        }
    }
    const int extra = needed - layout::px(7455);
    if (extra <= 0) return;
    for (QComboBox* list : lists) list->resize(needed, list->height());
    Frame1_->resize(layout::px(10095) + extra, Frame1_->height());
    resize(layout::px(10290) + extra, height());
}

void frmEuref::storeSettings() {
    ConversionSettings& settings = program_.settings();
    settings.direction = cboMuunnos_->currentIndex();
    settings.sourceKind = cboLahto_->currentIndex();
    settings.sourceZone = cboLKaista_->currentIndex();
    settings.sourceFormat = cboLFormaatti_->currentIndex();
    settings.resultKind = cboTulos_->currentIndex();
    settings.resultZone = cboTKaista_->currentIndex();
    settings.resultFormat = cboTFormaatti_->currentIndex();
}

void frmEuref::cboMuunnos_Click() {
    storeSettings();
    if (loading_) return;  // Form_Load applies both rules once all lists are filled
    AsetaMuunnos1();
    AsetaMuunnos2();
}

void frmEuref::cboLahto_Click() {
    storeSettings();
    if (loading_) return;
    AsetaMuunnos2();
}

void frmEuref::cboTulos_Click() {
    storeSettings();
    if (loading_) return;
    AsetaMuunnos2();
}

void frmEuref::AsetaMuunnos1() {
    const int32_t direction = cboMuunnos_->currentIndex();
    fill(cboLKaista_, sourceZoneItems(direction));
    cboLKaista_->setCurrentIndex(sourceZoneSelection(direction));
    fill(cboTKaista_, resultZoneItems(direction));
    cboTKaista_->setCurrentIndex(resultZoneSelection(direction));
    storeSettings();
}

void frmEuref::AsetaMuunnos2() {
    storeSettings();
    const RowVisibility rows = rowVisibility(program_.settings());
    lblLKaista_->setVisible(rows.sourceZone);
    cboLKaista_->setVisible(rows.sourceZone);
    lblLFormaatti_->setVisible(rows.sourceFormat);
    cboLFormaatti_->setVisible(rows.sourceFormat);
    lblTKaista_->setVisible(rows.resultZone);
    cboTKaista_->setVisible(rows.resultZone);
    lblTFormaatti_->setVisible(rows.resultFormat);
    cboTFormaatti_->setVisible(rows.resultFormat);
}

frmLaske* frmEuref::conversionWindow() const { return frmLaske_; }

void frmEuref::cmdLaske_Click() {
    const bool created = frmLaske_.isNull();
    if (created) {
        frmLaske_ = new frmLaske(program_, this);
        program_.conversionWindowCreated(frmLaske_);
    }
    frmLaske_->show();
    if (created) placeConversionWindow();  // the window manager places it when shown; move it after
    frmLaske_->prepare();
    frmLaske_->raise();
    frmLaske_->activateWindow();
}

void frmEuref::placeConversionWindow() {
    // Beside this window, to its right, and wholly on the screen: the window is
    // taller than this one and would otherwise reach below the screen's edge.
    const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;  // no screen to place the window on
    const QSize frame = frameGeometry().size() - size();  // this window's frame, as the new one's
    const QPoint wanted = frameGeometry().topRight() + QPoint(1, 0);
    frmLaske_->move(layout::fitOnScreen(wanted, frmLaske_->size() + frame, screen->availableGeometry()));
}

void frmEuref::cmdOhje_Click() {
    program_.showHelp(LomitraProgram::HelpText::Settings);
}

void frmEuref::cmdUlos_Click() {
    // Ends at once: nothing is asked, not even about unwritten results.
    for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
    program_.endProgram();
}

void frmEuref::closeEvent(QCloseEvent* event) {
    // Closing the settings window through its frame ends the run like "&Lopeta".
    event->accept();
    cmdUlos_Click();
}

}  // namespace lomitra

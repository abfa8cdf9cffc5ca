#include "ui/frm_laske.h"

#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <functional>

#include "app/window_placement.h"
#include "ui/encoded_text.h"
#include "ui/frm_tiedosto.h"
#include "ui/lomitra_program.h"
#include "ui/window_captions.h"
#include "ui/window_layout.h"

namespace lomitra {

using layout::qs;

namespace {

// txtKRivi: a text box that reports the end of every mouse press, after it has
// settled its selection.
class CoordinateLineBox : public QPlainTextEdit {
public:
    CoordinateLineBox(QWidget* parent, std::function<void()> mouseUp)
        : QPlainTextEdit(parent), mouseUp_(std::move(mouseUp)) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        // A press inside the last marking starts a new selection, as everywhere
        // else on the line; otherwise the drag would move the marked characters
        // and edit the coordinate line.
        if (event->button() == Qt::LeftButton && !(event->modifiers() & Qt::ShiftModifier) &&
            textCursor().hasSelection()) {
            QTextCursor cursor = textCursor();
            cursor.clearSelection();
            setTextCursor(cursor);
        }
        QPlainTextEdit::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QPlainTextEdit::mouseReleaseEvent(event);
        mouseUp_();
    }

private:
    std::function<void()> mouseUp_;
};

// The text of a QPlainTextEdit as typed: no conversion of non-breaking
// spaces; paragraph separators become line feeds.
QString rawText(const QPlainTextEdit* box) {
    QString text = box->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

// Copies a box into model bytes only when the user changed it, so that bytes
// the box shows unchanged never pass through a re-encoding.
void pull(const QString& shown, std::string& bytes, TextEncoding encoding) {
    if (shown != fromEncoded(bytes, encoding)) bytes = toEncoded(shown, encoding);
}

void showText(QLineEdit* box, const std::string& bytes, TextEncoding encoding) {
    const QString text = fromEncoded(bytes, encoding);
    if (box->text() != text) box->setText(text);
}

void setCaption(QLabel* label, const std::string& utf8) {
    const QString text = qs(utf8);
    if (label->text() != text) label->setText(text);
}

}  // namespace

frmLaske::frmLaske(LomitraProgram& program, QWidget* parent)
    : QWidget(parent, Qt::Window),
      program_(program),
      model_(std::make_unique<ConversionWindowModel>(program.engine(), program.session(),
                                                     program.platform())) {
    setObjectName(QStringLiteral("frmLaske"));
    setAttribute(Qt::WA_DeleteOnClose);  // the frame's close button destroys the window
    setFont(layout::sansSerif(8.25, true));
    layout::setClientSize(this, 12045, 10590);
    model_->setView(this);
    buildControls();
    showModel();
    txtKoord_[0]->setFocus();
}

frmLaske::~frmLaske() {
    // The file selection window works on this window's model: it lets go first.
    program_.conversionWindowDestroyed(*this);
    model_->setView(nullptr);
}

void frmLaske::buildControls() {
    Label10_ =
        layout::addLabel(this, QStringLiteral("Label10"), captions::kGuidanceLabel, 120, 120, 1215);
    lblOhje_ = new QLabel(this);
    lblOhje_->setObjectName(QStringLiteral("lblOhje"));
    QPalette red = lblOhje_->palette();
    red.setColor(QPalette::WindowText, QColor(255, 0, 0));
    lblOhje_->setPalette(red);
    layout::place(lblOhje_, 1440, 120, 10575, 255);

    cmdLahto_ =
        layout::addButton(this, QStringLiteral("cmdLahto"), captions::kSourceFile, 120, 720, 1335);
    lstLahto_ = new QListWidget(this);
    lstLahto_->setObjectName(QStringLiteral("lstLahto"));
    layout::place(lstLahto_, 1800, 720, 1215, 645);
    lstLahto_->setVisible(false);  // never shown to the user
    lstLahto_->setFocusPolicy(Qt::NoFocus);
    cmdSeuraava_ = layout::addButton(this, QStringLiteral("cmdSeuraava"), captions::kNextLine, 120,
                                     1080, 1335);
    cmdAloituskohdat_ = layout::addButton(this, QStringLiteral("cmdAloituskohdat"),
                                          captions::kMarkAgain, 120, 1440, 1335);
    cmdOhje_ =
        layout::addButton(this, QStringLiteral("cmdOhje"), captions::kHelp, 1680, 1440, 1335);
    cmdTulostiedosto_ = layout::addButton(this, QStringLiteral("cmdTulostiedosto"),
                                          captions::kResultFile, 120, 2040, 2895);
    cmdTauTie_ =
        layout::addButton(this, QStringLiteral("cmdTauTie"), captions::kTableFile, 120, 2400, 2895);
    cmdPrintterille_ = layout::addButton(this, QStringLiteral("cmdPrintterille"), captions::kPrint,
                                         120, 2760, 2895);
    cmdLopeta_ =
        layout::addButton(this, QStringLiteral("cmdLopeta"), captions::kClose, 120, 3360, 1335);
    cmdMuunna_ =
        layout::addButton(this, QStringLiteral("cmdMuunna"), captions::kConvert, 1680, 3360, 1335);
    // The buttons of the left column keep one width when a caption needed more room.
    int columnWidth = 0;
    for (QPushButton* button : {cmdLahto_, cmdSeuraava_, cmdAloituskohdat_, cmdLopeta_}) {
        columnWidth = std::max(columnWidth, button->width());
    }
    for (QPushButton* button : {cmdLahto_, cmdSeuraava_, cmdAloituskohdat_, cmdLopeta_}) {
        button->resize(columnWidth, button->height());
    }

    auto* lineFrame = new QGroupBox(qs(captions::kLineFrame), this);
    lineFrame->setObjectName(QStringLiteral("frameKoordinaattirivi"));
    layout::place(lineFrame, 3240, 480, 8775, 1695);
    txtKRivi_ = new CoordinateLineBox(lineFrame, [this] { txtKRivi_MouseUp(); });
    txtKRivi_->setObjectName(QStringLiteral("txtKRivi"));
    txtKRivi_->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtKRivi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtKRivi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtKRivi_->setTabChangesFocus(true);
    layout::place(txtKRivi_, 120, 240, 8535, 735);
    optFixed_ = new QRadioButton(qs(captions::kFixedColumns), lineFrame);
    optFixed_->setObjectName(QStringLiteral("optFixed"));
    layout::placeCaptioned(optFixed_, 120, 1080, 5655, 255);
    optFree_ = new QRadioButton(qs(captions::kFreeFormat), lineFrame);
    optFree_->setObjectName(QStringLiteral("optFree"));
    layout::placeCaptioned(optFree_, 120, 1320, 5415, 255);
    optFixed_->setChecked(true);

    auto* inputFrame = new QGroupBox(qs(captions::kInputFrame), this);
    inputFrame->setObjectName(QStringLiteral("frameLahtokoordinaatit"));
    layout::place(inputFrame, 3240, 2400, 8775, 1335);
    const auto addBox = [inputFrame](const QString& name, int left, int top, int width) {
        auto* box = new QLineEdit(inputFrame);
        box->setObjectName(name);
        layout::place(box, left, top, width, 285);
        return box;
    };
    for (int i = 0; i < 3; ++i) {
        const int top = 240 + 360 * i;
        const QString index = QStringLiteral("(%1)").arg(i);
        lblKoord_[i] =
            layout::addLabel(inputFrame, QStringLiteral("lblKoord(%1)").arg(i), "", 240, top, 855);
        txtKoord_[i] = addBox(QStringLiteral("txtKoord") + index, 1200, top, 1695);
        lblKoord_[i + 3] = layout::addLabel(inputFrame, QStringLiteral("lblKoord(%1)").arg(i + 3),
                                            "", 3000, top, 1575);
        const bool identifierRow = i == 2;
        QLabel* startLabel = layout::addRightLabel(inputFrame, QStringLiteral("lblAlkaen") + index,
                                                   captions::kStartColumn, identifierRow ? 4560 : 4440,
                                                   top, identifierRow ? 1695 : 1815);
        txtAlku_[i] = addBox(QStringLiteral("txtAlku") + index, 6240, top, 495);
        QLabel* lengthLabel = layout::addRightLabel(inputFrame, QStringLiteral("lblPituus") + index,
                                                    captions::kLength, identifierRow ? 6720 : 6840,
                                                    top, identifierRow ? 735 : 615);
        txtPituus_[i] = addBox(QStringLiteral("txtPituus") + index, 7440, top, 495);
        QLabel* charactersLabel = layout::addLabel(inputFrame, QStringLiteral("lblMerkkia") + index,
                                                   captions::kCharacters, 7920, top, 735);
        // The design boxes of these labels reach into the boxes beside them.
        layout::fitBetween(startLabel, nullptr, txtAlku_[i]);
        layout::fitBetween(lengthLabel, txtAlku_[i], txtPituus_[i]);
        layout::fitBetween(charactersLabel, txtPituus_[i], nullptr);
        txtKoord_[i]->installEventFilter(this);
    }

    lstTulos_ = new QListWidget(this);
    lstTulos_->setObjectName(QStringLiteral("lstTulos"));
    lstTulos_->setFont(layout::fixedPitch(9.75));
    lstTulos_->setUniformItemSizes(true);
    lstTulos_->setSelectionMode(QAbstractItemView::SingleSelection);
    layout::place(lstTulos_, 120, 3960, 11895, 6105);

    lblOhjelma_ = new QLabel(this);
    lblOhjelma_->setObjectName(QStringLiteral("lblOhjelma"));
    lblOhjelma_->setFont(layout::sansSerif(9.75, true));
    layout::place(lblOhjelma_, 120, 10260, 6855, 255);

    // Keyboard order begins with the three input boxes, "&Muunna" and the result list.
    QWidget* const order[] = {txtKoord_[0], txtKoord_[1], txtKoord_[2], cmdMuunna_,
                              lstTulos_,    cmdTulostiedosto_, cmdTauTie_, cmdPrintterille_,
                              cmdLopeta_,   cmdLahto_,    cmdSeuraava_, cmdAloituskohdat_,
                              cmdOhje_,     txtKRivi_,    optFixed_,    optFree_,
                              txtAlku_[0],  txtPituus_[0], txtAlku_[1], txtPituus_[1],
                              txtAlku_[2],  txtPituus_[2]};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

    connect(cmdMuunna_, &QPushButton::clicked, this, [this] { run([this] { model_->cmdMuunna_Click(); }); });
    connect(cmdLahto_, &QPushButton::clicked, this, [this] { run([this] { model_->cmdLahto_Click(); }); });
    connect(cmdSeuraava_, &QPushButton::clicked, this,
            [this] { run([this] { model_->cmdSeuraava_Click(); }); });
    connect(cmdAloituskohdat_, &QPushButton::clicked, this,
            [this] { run([this] { model_->cmdAloituskohdat_Click(); }); });
    connect(cmdTulostiedosto_, &QPushButton::clicked, this,
            [this] { run([this] { model_->cmdTulostiedosto_Click(); }); });
    connect(cmdTauTie_, &QPushButton::clicked, this, [this] { run([this] { model_->cmdTauTie_Click(); }); });
    connect(cmdPrintterille_, &QPushButton::clicked, this,
            [this] { run([this] { model_->cmdPrintterille_Click(); }); });
    connect(cmdOhje_, &QPushButton::clicked, this, [this] { cmdOhje_Click(); });
    connect(cmdLopeta_, &QPushButton::clicked, this, [this] { cmdLopeta_Click(); });
    connect(lstTulos_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { lstTulos_Click(lstTulos_->row(item)); });
    connect(lstTulos_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_) lstTulos_Click(row);  // a line chosen with the keyboard
    });
}

template <typename Handler>
void frmLaske::run(Handler handler) {
    pullFromWidgets();
    handler();
    showModel();
}

void frmLaske::prepare() {
    run([this] { model_->prepare(); });
}

void frmLaske::pullFromWidgets() {
    ConversionWindowModel& model = *model_;
    for (int i = 0; i < 3; ++i) {
        pull(txtKoord_[i]->text(), model.txtKoord[i], model.encoding);
        pull(txtAlku_[i]->text(), model.txtAlku[i], model.encoding);
        pull(txtPituus_[i]->text(), model.txtPituus[i], model.encoding);
    }
    pull(rawText(txtKRivi_), model.txtKRivi, model.encoding);
    model.optFree = optFree_->isChecked();
}

void frmLaske::showModel() {
    const ConversionWindowModel& model = *model_;
    syncing_ = true;
    const QString caption = qs(model.caption);
    if (windowTitle() != caption) setWindowTitle(caption);
    setCaption(lblOhje_, model.lblOhje);
    for (int i = 0; i < 6; ++i) setCaption(lblKoord_[i], model.lblKoord[i]);
    setCaption(lblOhjelma_, model.lblOhjelma);
    for (int i = 0; i < 3; ++i) {
        showText(txtKoord_[i], model.txtKoord[i], model.encoding);
        showText(txtAlku_[i], model.txtAlku[i], model.encoding);
        showText(txtPituus_[i], model.txtPituus[i], model.encoding);
    }
    const QString line = fromEncoded(model.txtKRivi, model.encoding);
    if (rawText(txtKRivi_) != line) txtKRivi_->setPlainText(line);
    if (model.optFree) {
        optFree_->setChecked(true);
    } else {
        optFixed_->setChecked(true);
    }
    syncList(lstLahto_, shownLahto_, model.lstLahto, model.encoding);
    if (lstLahto_->currentRow() != model.lstLahtoIndex) lstLahto_->setCurrentRow(model.lstLahtoIndex);
    syncList(lstTulos_, shownTulos_, model.lstTulos, model.lstTulosEncoding);
    syncing_ = false;
}

void frmLaske::syncList(QListWidget* list, ShownLines& shown, const std::vector<std::string>& lines,
                        TextEncoding encoding) {
    // Lines are only appended between preparations; keep what is already shown
    // so that the list keeps its scroll position.
    std::size_t same = 0;
    if (shown.encoding != encoding) {
        shown.lines.clear();  // the same bytes may read otherwise: all shown anew
        shown.encoding = encoding;
        list->clear();
    }
    while (same < shown.lines.size() && same < lines.size() && shown.lines[same] == lines[same]) ++same;
    if (same == 0 && !shown.lines.empty()) {
        list->clear();
    } else {
        for (std::size_t row = shown.lines.size(); row > same; --row) {
            delete list->takeItem(static_cast<int>(row - 1));
        }
    }
    QStringList added;
    added.reserve(static_cast<qsizetype>(lines.size() - same));
    for (std::size_t row = same; row < lines.size(); ++row) added.append(fromEncoded(lines[row], encoding));
    list->addItems(added);
    shown.lines.assign(lines.begin(), lines.end());
}

void frmLaske::cmdOhje_Click() {
    program_.showHelp(LomitraProgram::HelpText::Conversion);
}

void frmLaske::cmdLopeta_Click() {
    pullFromWidgets();
    const bool hideWindow = model_->cmdLopeta_Click();
    showModel();
    if (hideWindow) hide();
}

void frmLaske::lstTulos_Click(int index) {
    if (index < 0) return;  // no line
    run([this, index] { model_->lstTulos_Click(index); });
}

void frmLaske::txtKRivi_MouseUp() {
    pullFromWidgets();
    const QTextCursor cursor = txtKRivi_->textCursor();
    const QString text = rawText(txtKRivi_);
    // Positions in characters of the model, not in UTF-16 units.
    const int start = codePoints(text, cursor.selectionStart());
    const int length = codePoints(text, cursor.selectionEnd()) - start;
    const std::string selected =
        toEncoded(text.mid(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()),
                  model_->encoding);
    model_->markSelection(start, length, selected);
    showModel();
}

bool frmLaske::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        for (int i = 0; i < 3 && enter; ++i) {
            if (watched != txtKoord_[i]) continue;
            pullFromWidgets();
            const bool handled = model_->txtKoord_KeyPress(i, 13);
            showModel();
            return handled;
        }
    }
    return QWidget::eventFilter(watched, event);
}

frmTiedosto* frmLaske::fileChooser() const { return program_.fileChooser(); }

std::vector<QRect> frmLaske::controlsToKeepClear() const {
    std::vector<QRect> controls;
    for (const QWidget* control : findChildren<QWidget*>()) {
        const bool keep = qobject_cast<const QPushButton*>(control) != nullptr ||
                          qobject_cast<const QGroupBox*>(control) != nullptr || control == lblOhje_;
        if (!keep || !control->isVisibleTo(this) || control->parentWidget() != this) continue;
        controls.emplace_back(control->mapToGlobal(QPoint(0, 0)), control->size());
    }
    return controls;
}

void frmLaske::showFileChooser(std::string_view caption) {
    // A new chooser, or one that served an earlier conversion window, is
    // placed anew; otherwise it stays where it was (or where the user put it).
    const bool place = fileChooser() == nullptr || fileChooser()->servedWindow() != this;
    frmTiedosto& chooser = program_.fileChooserFor(*this);
    chooser.setWindowTitle(qs(caption));
    chooser.refreshFileList();  // files may have come or gone since it was last shown
    if (place) placeFileChooser(chooser);
    chooser.show();
    if (place) placeFileChooser(chooser);  // again, now that its frame is known
    chooser.raise();
    chooser.activateWindow();
}

void frmLaske::placeFileChooser(frmTiedosto& chooser) {
    const QScreen* screen = this->screen() != nullptr ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;  // no screen to place the window on
    // Before it is first shown the chooser's frame is taken to be as wide as this window's.
    const QSize frame = chooser.isVisible() ? chooser.frameGeometry().size()
                                            : chooser.size() + (frameGeometry().size() - size());
    std::vector<ScreenRect> keepClear;
    for (const QRect& control : controlsToKeepClear()) keepClear.push_back(layout::screenRect(control));
    const ScreenRect placed = placeBesideOwner(frame.width(), frame.height(), layout::screenRect(frameGeometry()),
                                               keepClear, layout::screenRect(screen->availableGeometry()));
    chooser.move(placed.left, placed.top);
}

void frmLaske::focusCoordinateBox(int index) {
    if (index >= 0 && index < 3) txtKoord_[index]->setFocus();
}

void frmLaske::scrollResultListToEnd() {
    syncing_ = true;
    syncList(lstTulos_, shownTulos_, model_->lstTulos, model_->lstTulosEncoding);
    if (lstTulos_->count() > 0) {
        lstTulos_->setCurrentRow(lstTulos_->count() - 1);
        lstTulos_->scrollToBottom();
        lstTulos_->clearSelection();
        lstTulos_->setCurrentRow(-1);
    }
    syncing_ = false;
}

void frmLaske::refreshFileList() {
    if (frmTiedosto* chooser = fileChooser()) chooser->refreshFileList();
}

}  // namespace lomitra

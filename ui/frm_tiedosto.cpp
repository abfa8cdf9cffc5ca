#include "ui/frm_tiedosto.h"

#include <QApplication>
#include <QDir>
#include <QStyle>

#include "ui/frm_laske.h"
#include "ui/window_captions.h"
#include "ui/window_layout.h"

namespace lomitra {

using layout::qs;

namespace {

constexpr int kPathRole = Qt::UserRole;

// The folders from the root of `folder` down to `folder` itself.
QStringList folderChain(const QString& folder) {
    QStringList chain;
    QDir dir(folder);
    chain.prepend(dir.absolutePath());
    while (dir.cdUp()) chain.prepend(dir.absolutePath());
    return chain;
}

}  // namespace

frmTiedosto::frmTiedosto(QWidget* parent, PlatformServices& platform)
    : QWidget(parent, Qt::Window), model_(std::make_unique<FileChooserModel>(platform)) {
    setObjectName(QStringLiteral("frmTiedosto"));
    // The frame's close button only hides the window, as "&Peruuta" does: the
    // folder and the name stay for the next use.
    setFont(layout::sansSerif(8.25, true));
    layout::setClientSize(this, 10245, 5595);
    model_->setView(this);
    buildControls();
    showDrives();
    showFolders();
}

frmTiedosto::~frmTiedosto() {
    model_->setView(nullptr);
}

bool frmTiedosto::serve(frmLaske* window) {
    if (window == owner_) return false;
    owner_ = window;
    model_->setWindow(window != nullptr ? &window->model() : nullptr);
    if (window == nullptr) hide();  // nothing to choose a file for
    return true;
}

void frmTiedosto::buildControls() {
    Label2_ = layout::addLabel(this, QStringLiteral("Label2"), captions::kDrive, 120, 120, 1455);
    Drive1_ = new QComboBox(this);
    Drive1_->setObjectName(QStringLiteral("Drive1"));
    Drive1_->setFont(layout::sansSerif(8.25, false));
    layout::place(Drive1_, 0, 360, 5175, 315);
    Label3_ = layout::addLabel(this, QStringLiteral("Label3"), captions::kFolder, 120, 840, 1695);
    Dir1_ = new QListWidget(this);
    Dir1_->setObjectName(QStringLiteral("Dir1"));
    Dir1_->setFont(layout::sansSerif(8.25, false));
    layout::place(Dir1_, 0, 1080, 5175, 3690);
    Label1_ = layout::addLabel(this, QStringLiteral("Label1"), captions::kFile, 5400, 120, 2055);
    txtTiedosto_ = new QLineEdit(this);
    txtTiedosto_->setObjectName(QStringLiteral("txtTiedosto"));
    txtTiedosto_->setFont(layout::sansSerif(8.25, false));
    layout::place(txtTiedosto_, 5400, 360, 4575, 375);
    File1_ = new QListWidget(this);
    File1_->setObjectName(QStringLiteral("File1"));
    File1_->setFont(layout::sansSerif(8.25, false));
    layout::place(File1_, 5400, 720, 4815, 4185);
    cmdAvaa_ =
        layout::addButton(this, QStringLiteral("cmdAvaa"), captions::kOpen, 3720, 5040, 1455);
    cmdPeruuta_ =
        layout::addButton(this, QStringLiteral("cmdPeruuta"), captions::kCancel, 5400, 5040, 1335);

    QWidget* const order[] = {File1_, Dir1_, Drive1_, txtTiedosto_, cmdAvaa_, cmdPeruuta_};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

    connect(Drive1_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!syncing_) Drive1_Change(index);
    });
    connect(Dir1_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) { Dir1_Change(item); });
    connect(File1_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { File1_Click(item); });
    connect(File1_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { File1_DblClick(item); });
    connect(txtTiedosto_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_->nameTyped(text.toStdString()); });
    connect(cmdAvaa_, &QPushButton::clicked, this, [this] { cmdAvaa_Click(); });
    connect(cmdPeruuta_, &QPushButton::clicked, this, [this] { cmdPeruuta_Click(); });
}

void frmTiedosto::showDrives() {
    syncing_ = true;
    Drive1_->clear();
    for (const std::string& drive : model_->availableDrives()) {
        Drive1_->addItem(QString::fromStdString(drive));
    }
    const int current = Drive1_->findText(QString::fromStdString(model_->drive()));
    if (current < 0 && !model_->drive().empty()) Drive1_->addItem(QString::fromStdString(model_->drive()));
    Drive1_->setCurrentIndex(current >= 0 ? current : Drive1_->count() - 1);
    syncing_ = false;
}

void frmTiedosto::showFolders() {
    // The open folders from the root down to the current one, then its subfolders.
    Dir1_->clear();
    const QString folder = QString::fromStdString(model_->folder());
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    const QStringList chain = folderChain(folder);
    int depth = 0;
    for (const QString& path : chain) {
        const QString name = QDir(path).isRoot() ? path : QDir(path).dirName();
        auto* item = new QListWidgetItem(openIcon, QString(depth * 3, QLatin1Char(' ')) + name, Dir1_);
        item->setData(kPathRole, path);
        ++depth;
    }
    Dir1_->setCurrentRow(Dir1_->count() - 1);
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        auto* item = new QListWidgetItem(closedIcon, QString(depth * 3, QLatin1Char(' ')) + name, Dir1_);
        item->setData(kPathRole, dir.filePath(name));
    }
    refreshFileList();
}

void frmTiedosto::refreshFileList() {
    File1_->clear();
    for (const std::string& name : model_->fileNames()) File1_->addItem(QString::fromStdString(name));
}

void frmTiedosto::Drive1_Change(int index) {
    if (index < 0) return;  // the list is being refilled
    if (model_->changeDrive(Drive1_->itemText(index).toStdString())) {
        showFolders();
    } else {
        showDrives();  // the previous drive stays chosen
    }
}

void frmTiedosto::Dir1_Change(QListWidgetItem* item) {
    if (item == nullptr) return;
    const QString folder = QDir::toNativeSeparators(item->data(kPathRole).toString());
    if (model_->changeFolder(folder.toStdString())) showFolders();
}

void frmTiedosto::File1_Click(QListWidgetItem* item) {
    if (item == nullptr) return;
    model_->fileClicked(item->text().toStdString());
    txtTiedosto_->setText(QString::fromStdString(model_->txtTiedosto));
}

void frmTiedosto::File1_DblClick(QListWidgetItem* item) {
    File1_Click(item);
    cmdAvaa_Click();  // as Alt+A, the access key of "&Avaa"
}

void frmTiedosto::cmdAvaa_Click() {
    model_->txtTiedosto = txtTiedosto_->text().toStdString();
    const QPointer<frmLaske> window = owner_;
    if (window.isNull()) return;  // serving no conversion window
    window->pullFromWidgets();
    model_->acceptFileChoice();
    if (!window.isNull()) window->showModel();
    txtTiedosto_->setText(QString::fromStdString(model_->txtTiedosto));
}

void frmTiedosto::cmdPeruuta_Click() {
    model_->cmdPeruuta_Click();
}

void frmTiedosto::hideChooser() {
    hide();
}

}  // namespace lomitra

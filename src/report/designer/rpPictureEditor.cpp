#include "rpPictureEditor.h"

#include "rpDsgnImages.h"

#include "platform/Exceptions.h"
#include "report/core/Services.h"
#include "report/model/rpClass_views.h"
#include "report/model/rpRes.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QToolButton* ToolButton(QToolBar* bar, const char* name, int image, int hint, const QString& fallback)
{
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    const auto& images = MainButtonImages();
    if (image >= 0 && image < static_cast<int>(images.size())) {
        button->setIcon(QIcon(QPixmap::fromImage(images[image])));
    } else {
        // No picture of its own: the button shows its hint as text.
        button->setText(fallback);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    }
    button->setToolTip(fallback);
    DesignerDialogs::Hint(button, hint);
    bar->addWidget(button);
    return button;
}

bool IsMetafile(const TrpPicture& picture)
{
    return picture.Kind() == QStringLiteral("WMF") || picture.Kind() == QStringLiteral("EMF");
}

// A metafile is kept but not drawn: a framed placeholder with its kind stands in for it.
QPixmap Placeholder(const TrpPicture& picture, QSize size)
{
    QPixmap pixmap(size.expandedTo(QSize(32, 32)));
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    painter.drawLine(pixmap.rect().topLeft(), pixmap.rect().bottomRight());
    painter.drawLine(pixmap.rect().bottomLeft(), pixmap.rect().topRight());
    painter.setPen(Qt::black);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, picture.Kind());
    return pixmap;
}

} // namespace

TrpPictureEditorForm::TrpPictureEditorForm(QWidget* owner, TrpCustomDesigner* designer)
    : TrpDesignerDialog(owner, designer, QStringLiteral("TrpPictureEditorForm")),
      FPicture(std::make_unique<TrpPicture>())
{
    setWindowTitle(QString());
    setSizeGripEnabled(true);
    ToolBar = new QToolBar(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    LoadB = ToolButton(ToolBar, "LoadB", 1, 4001, QString());
    CopyB = ToolButton(ToolBar, "CopyB", -1, 4002, QString());
    PasteB = ToolButton(ToolBar, "PasteB", -1, 4003, QString());
    ClearB = ToolButton(ToolBar, "ClearB", -1, 4004, QString());
    ToolBar->addSeparator();
    CancelB = ToolButton(ToolBar, "CancelB", 55, 2, QString());
    OkB = ToolButton(ToolBar, "OkB", 56, 1, QStringLiteral("OK"));
    Box = new QFrame(this);
    Box->setObjectName(QStringLiteral("Box"));
    Box->setFrameShape(QFrame::Box);
    Image = new QLabel(Box);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setAlignment(Qt::AlignCenter);
    (new QVBoxLayout(Box))->addWidget(Image);
    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    FStatusPanel = new QLabel(StatusBar);
    StatusBar->addWidget(FStatusPanel, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar);
    layout->addWidget(Box, 1);
    layout->addWidget(StatusBar);
    resize(400, 300);
    DesignerDialogs::Caption(this, 4000);

    connect(OkB, &QToolButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QToolButton::clicked, this, &QDialog::reject);
    connect(LoadB, &QToolButton::clicked, this, [this] { Guard([this] { LoadBClick(); }); });
    connect(CopyB, &QToolButton::clicked, this, [this] { Guard([this] { CopyBClick(); }); });
    connect(PasteB, &QToolButton::clicked, this, [this] { Guard([this] { PasteBClick(); }); });
    connect(ClearB, &QToolButton::clicked, this, [this] { Guard([this] { ClearBClick(); }); });
}

TrpPictureEditorForm::~TrpPictureEditorForm() = default;

void TrpPictureEditorForm::SetPicture(const TrpPicture& picture)
{
    FPicture->Assign(picture);
}

void TrpPictureEditorForm::Showing()
{
    UpdateStatus();
}

QString TrpPictureEditorForm::StatusText() const
{
    return FStatusPanel->text();
}

void TrpPictureEditorForm::UpdateStatus()
{
    if (FPicture->IsEmpty()) {
        FStatusPanel->setText(GetResourcesInstance().Get(u"piEmpty"));
        Image->clear();
        FStretched = false;
        return;
    }
    const int width = FPicture->Width();
    const int height = FPicture->Height();
    FStatusPanel->setText(QStringLiteral("%1 x %2").arg(width).arg(height));
    const QSize room = Image->contentsRect().size();
    FStretched = width > room.width() || height > room.height();
    QPixmap pixmap;
    if (IsMetafile(*FPicture))
        pixmap = Placeholder(*FPicture, QSize(width, height).boundedTo(room));
    else
        pixmap.loadFromData(FPicture->Data());
    if (FStretched && !pixmap.isNull())
        pixmap = pixmap.scaled(room, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    Image->setPixmap(pixmap);
}

void TrpPictureEditorForm::resizeEvent(QResizeEvent* event)
{
    TrpDesignerDialog::resizeEvent(event);
    UpdateStatus();
}

void TrpPictureEditorForm::LoadFromFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Exception(QStringLiteral("Cannot open file \"%1\"").arg(fileName).toStdString());
    // Read into a scratch view: a file that is no picture leaves the edited one as it was.
    TrpPictureView scratch;
    if (scratch.LoadPictureFromStream(file, true) != 0 || scratch.Picture().IsEmpty())
        throw platform::Exception(GetResourcesInstance().Get(u"erInvalidImg").toStdString());
    FPicture->Assign(scratch.Picture());
}

void TrpPictureEditorForm::LoadBClick()
{
    const TrpResources& res = GetResourcesInstance();
    UiFileDialog dialog;
    dialog.Filter = DesignerDialogs::QtFilter(res.Get(u"ftPictures") + QStringLiteral(" (*.bmp ") +
                                              QStringLiteral("*.jpg ") + QStringLiteral("*.png ") +
                                              QStringLiteral("*.ico *.wmf *.emf)|*.bmp;") + QStringLiteral("*.jpg;") +
                                              QStringLiteral("*.png;") + QStringLiteral("*.ico;*.wmf;*.emf|") +
                                              res.Get(u"ftAllFiles") + QStringLiteral("|*.*"));
    if (ReportServices::Ui().OpenFileDialog(dialog)) {
        try {
            LoadFromFile(dialog.FileName);
        } catch (...) {
            UpdateStatus();
            throw;
        }
    }
    UpdateStatus();
}

void TrpPictureEditorForm::CopyBClick()
{
    if (FPicture->IsEmpty() || IsMetafile(*FPicture))
        return;
    QImage image;
    if (image.loadFromData(FPicture->Data()))
        QApplication::clipboard()->setImage(image);
}

void TrpPictureEditorForm::PasteBClick()
{
    const QImage image = QApplication::clipboard()->image();
    if (image.isNull()) {
        UpdateStatus();
        throw platform::Exception(GetResourcesInstance().Get(u"erInvalidImg").toStdString());
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    FPicture->SetData(QStringLiteral("PNG"), bytes);
    UpdateStatus();
}

void TrpPictureEditorForm::ClearBClick()
{
    FPicture->Clear();
    UpdateStatus();
}

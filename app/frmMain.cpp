#include "app/frmMain.h"

#include "app/AppContext.h"
#include "app/OsVersion.h"
#include "app/Settings.h"
#include "formats/Cp1252.h"
#include "platform/SingleInstance.h"
#include "sources/OpenPath.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace glyphary {

void ActivateWindow(QWidget* window)
{
    if (window == nullptr)
        return;
    if (window->isMinimized())
        window->showNormal();
    window->show();
    window->raise();
    window->activateWindow();
}

frmMain::frmMain(AppContext& context, Settings& settings, platform::NamedMutex& instanceMutex, QString commandLine)
    : context_(context), settings_(settings), instanceMutex_(instanceMutex), commandLine_(std::move(commandLine))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Glyphary"));
    resize(800, 600);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    picLogo = new QLabel(central);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setAlignment(Qt::AlignCenter);
    layout->addWidget(picLogo, 1);
    setCentralWidget(central);
}

frmMain::~frmMain()
{
    ReleaseInstance();
}

void frmMain::load()
{
    GetOsVersion(context_.platform.system(), context_.OsName, context_.OsCode);
    MarkMainWindow();
    HandleCommandLine(context_, *this, commandLine_);
    context_.platform.dialogs().setMousePointer(platform::MousePointerDefault);
}

void frmMain::MarkMainWindow()
{
    platform::MarkedWindow::Handlers handlers;
    handlers.isVisible = [this] { return isVisible(); };
    handlers.copyData = [this](const QByteArray& payload) { receiveHandOver(payload); };
    handlers.activate = [this] { ActivateWindow(this); };
    marked_ = std::make_unique<platform::MarkedWindow>(
        platform::scopedInstanceName(QString::fromLatin1(platform::kInstancePropertyName), context_.platform.paths().root()),
        std::move(handlers));
}

void frmMain::receiveHandOver(const QByteArray& payload)
{
    if (payload.isEmpty())
        return;
    HandleCommandLine(context_, *this, formats::fromCp1252(payload));
}

void frmMain::ReleaseInstance()
{
    instanceMutex_.release();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    marked_.reset();
    ReleaseInstance();
    event->accept();
}

int frmMain::resultCount() const
{
    return 0;
}

void frmMain::clearResults() {}

std::optional<ErrorInfo> frmMain::openPendingPath()
{
    return OpenPendingPath(context_);
}

void frmMain::activateMainWindow()
{
    setFocus();
    ActivateWindow(this);
}

} // namespace glyphary

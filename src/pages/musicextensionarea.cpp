#include "musicextensionarea.h"

#include "abstractextensionwidget.h"
#include "abstractstoreextensionwidget.h"
#include "applicationactionmediator.h"
#include "mapplicationextensionarea.h"
#include "mlayout.h"
#include "mlinearlayoutpolicy.h"
#include "musicapplicationactioncontent.h"

const char* const MusicExtensionArea::AlbumInterface
    = "com.vaspe.Parlovance.extensions.AlbumInterface/1.0";
const char* const MusicExtensionArea::ArtistInterface
    = "com.vaspe.Parlovance.extensions.ArtistInterface/1.0";
const char* const MusicExtensionArea::PlayerInterface
    = "com.vaspe.Parlovance.extensions.PlayerInterface/1.0";

MusicExtensionArea::MusicExtensionArea(const QString& interfaceName, QGraphicsItem* parent)
    : MWidget(parent)
    , area(new MApplicationExtensionArea(interfaceName))
    , areaLayout(new MLayout(this))
{
    areaLayout->setContentsMargins(0, 0, 0, 0);
    setLayout(areaLayout);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::MinimumExpanding);
    newPolicy();
    connect(area, &MApplicationExtensionArea::extensionInstantiated, this,
            &MusicExtensionArea::addExtension);
    connect(area, &MApplicationExtensionArea::extensionRemoved, this,
            &MusicExtensionArea::removeExtension);
    area->init();
}

MusicExtensionArea::~MusicExtensionArea()
{
    delete area;
}

void MusicExtensionArea::newPolicy()
{
    policy = new MLinearLayoutPolicy(areaLayout, Qt::Vertical);
    policy->setContentsMargins(0, 0, 0, 0);
    policy->setSpacing(0);
    policy->activate();
}

void MusicExtensionArea::addExtension(MApplicationExtensionInterface* extension)
{
    auto* widget = dynamic_cast<AbstractExtensionWidget*>(extension);
    if (!widget)
        return;
    widget->setMediator(ApplicationActionMediator::instance());
    place(widget);
}

void MusicExtensionArea::removeExtension(MApplicationExtensionInterface* extension)
{
    // Out of the layout its widget would still show where it was until its extension deletes
    // it.
    if (auto* gone = dynamic_cast<AbstractExtensionWidget*>(extension)) {
        if (MWidget* widget = gone->widget())
            widget->hide();
    }
    delete policy;
    newPolicy();
    const QList<MApplicationExtensionInterface*> remaining = area->extensions();
    for (MApplicationExtensionInterface* each : remaining) {
        if (auto* widget = dynamic_cast<AbstractExtensionWidget*>(each))
            place(widget);
    }
}

void MusicExtensionArea::place(AbstractExtensionWidget* extension)
{
    MWidget* widget = extension->widget();
    if (!widget)
        return;
    if (dynamic_cast<AbstractStoreExtensionWidget*>(extension))
        policy->insertItem(0, widget);
    else
        policy->addItem(widget);
}

void MusicExtensionArea::publishContent(int type, const QHash<QString, QVariant>& values)
{
    // The mediator reads a content while it is published.
    delete content.data();
    content = new MusicApplicationActionContent(this);
    content->setType(type);
    for (auto value = values.cbegin(); value != values.cend(); ++value)
        content->setValue(value.key(), value.value());
    ApplicationActionMediator::instance()->publishContent(content);
}

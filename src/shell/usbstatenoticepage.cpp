#include "usbstatenoticepage.h"

#include "mlabel.h"

UsbStateNoticePage::UsbStateNoticePage(PageWindow* window)
    : QuintaveilPage(window, QVariant())
    , noticeText(qtTrId("qtn_musi_mass_storage_mode"))
{
    setComponentsDisplayMode(AllComponents, MApplicationPageModel::Hide);
    setPannable(false);
}

UsbStateNoticePage::~UsbStateNoticePage() = default;

void UsbStateNoticePage::finishPageCreation(ObjectMenuType type)
{
    Q_UNUSED(type)
}

void UsbStateNoticePage::createContent()
{
    auto* label = new MLabel(noticeText);
    label->setStyleName(QStringLiteral("CommonEmptyStateTitleInverted"));
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    setCentralWidget(label);
}

#ifndef USBSTATENOTICEPAGE_H
#define USBSTATENOTICEPAGE_H

#include "pageframework/quintaveilpage.h"

// The only page shown while the device is in USB mass-storage mode: one notice, no navigation.
class UsbStateNoticePage : public QuintaveilPage
{
    Q_OBJECT

public:
    explicit UsbStateNoticePage(PageWindow* window);
    ~UsbStateNoticePage() override;

public slots:
    void finishPageCreation(ObjectMenuType type) override;

protected:
    void createContent() override;

private:
    QString noticeText;
};

#endif // USBSTATENOTICEPAGE_H

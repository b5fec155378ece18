#ifndef NOWPLAYINGWIDGETMODEL_H
#define NOWPLAYINGWIDGETMODEL_H

#include "mwidgetmodel.h"

// The information panel keeps no data of its own: everything comes from the playback hub.
class NowPlayingWidgetModel : public MWidgetModel
{
    Q_OBJECT
    M_MODEL(NowPlayingWidgetModel)

public:
    explicit NowPlayingWidgetModel(QObject* parent = nullptr);
    ~NowPlayingWidgetModel() override;
};

#endif // NOWPLAYINGWIDGETMODEL_H

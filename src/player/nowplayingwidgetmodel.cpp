#include "nowplayingwidgetmodel.h"

NowPlayingWidgetModel::NowPlayingWidgetModel(QObject* parent)
    : MWidgetModel(parent)
{
}

NowPlayingWidgetModel::~NowPlayingWidgetModel() = default;

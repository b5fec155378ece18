#include "zelmetadatahandler.h"

ZelMetadataHandler::ZelMetadataHandler(QObject* parent)
    : QObject(parent)
{
}

ZelMetadataHandler::~ZelMetadataHandler() = default;

void ZelMetadataHandler::setDataFromIndex(int, MafwContent)
{
}

void ZelMetadataHandler::onMetadataChange(QString, QList<QVariant>)
{
}

void ZelMetadataHandler::clear()
{
}

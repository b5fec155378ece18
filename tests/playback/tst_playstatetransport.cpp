#include "testenvironment.h"

class TestPlayStateTransport : public QObject
{
    Q_OBJECT
};

PARLOVANCE_TEST_MAIN_CORE(TestPlayStateTransport)

#include "tst_playstatetransport.moc"

#pragma once
// The fixture of a test on an exam lab: the working directory of VornTest,
// served by a fresh database of the test's own PostgreSQL cluster, set up as
// vorn-setup --server sets one up.
#include "store/CADOConn.h"
#include "store/ServerSetup.h"
#include "support/ServerCluster.h"
#include "support/VornTest.h"

class ServerTest : public VornTest
{
protected:
    void SetUp() override
    {
        VornTest::SetUp();
        QString error;
        m_server = ServerCluster::freshDatabase(&error);
        ASSERT_FALSE(m_server.isEmpty()) << error.toStdString();
        // A role of its own per database: roles belong to the whole cluster.
        static int databases = 0;
        m_setup = ServerSetup::create(m_server, QStringLiteral("station%1").arg(++databases));
        ASSERT_TRUE(m_setup.error.isEmpty()) << m_setup.error.toStdString();
        CADOConn::useServer(m_server);
    }
    void TearDown() override
    {
        CADOConn::useServer(QString());
        VornTest::TearDown();
    }

    // The lab's database as its administrator (superuser) reaches it.
    QString server() const { return m_server; }
    QList<QStringList> serverRows(const QString &sql) const { return ServerCluster::rows(m_server, sql); }

    QString m_server;
    ServerSetup::Result m_setup;
};

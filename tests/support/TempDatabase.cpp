#include "TempDatabase.h"

#include "app/AppState.h"
#include "data/DataModule.h"
#include "data/Schema.h"

namespace bwtest {

TempDatabase::TempDatabase(Content content)
{
    if (content == Content::Schema)
        bw::createSchemaDatabase(path());
    else
        bw::FbConnection::createDatabase(path());
}

TempDatabase::~TempDatabase()
{
    if (m_peer)
        m_peer->close();
    bw::DataModule &dm = bw::dm();
    if (dm.currentDatabaseString() == path()) {
        dm.closeCaches();
        dm.disconnect();
    }
}

QString TempDatabase::path() const
{
    return m_dir.filePath(QStringLiteral("mainbase.fdb"));
}

bw::FbConnection &TempDatabase::peer()
{
    if (!m_peer) {
        m_peer = std::make_unique<bw::FbConnection>();
        m_peer->open(path());
    }
    return *m_peer;
}

void TempDatabase::exec(const QString &sql, const QVariantList &params)
{
    peer().execute(sql, params);
}

void TempDatabase::connectDataModule()
{
    bw::appState().DatabaseLocation = dir();
    bw::dm().closeCaches();
    bw::dm().connectDatabase();
}

} // namespace bwtest

#pragma once

// The Firebird object-oriented client API, for the data layer's own files only.
#include <firebird/Interface.h>

#include <QByteArray>
#include <QDate>

namespace bw::fb {

Firebird::IMaster *master();
Firebird::IUtil *util();
QDate isqlDateBase();

} // namespace bw::fb

namespace bw {
QByteArray readBlobBytes(Firebird::IAttachment *att, Firebird::ITransaction *tra, const ISC_QUAD &id);
}

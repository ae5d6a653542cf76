#pragma once

#include <QString>

#include <array>

// The table-key catalogue: for the name of a table or view of the suite's database, the
// columns that identify one of its rows. A pure function of the name; it touches no database.
namespace ModGruposEmp {

// Up to eight key names, positions 1 to 8 filled in order; unfilled positions are empty.
using Claves = std::array<QString, 8>;

// The keys of `tabla` ("@ADMIN_" in front, in any case, is dropped; names compare without
// regard to case). A name the catalogue does not know gives eight empty texts. Names made
// by the naming rule keep the caller's spelling of the part after "ID".
Claves claves(const QString &tabla);

// The same through eight output arguments, every one of them set.
void TablaClaves(const QString &tabla, QString &clave1, QString &clave2, QString &clave3, QString &clave4,
                 QString &clave5, QString &clave6, QString &clave7, QString &clave8);

} // namespace ModGruposEmp

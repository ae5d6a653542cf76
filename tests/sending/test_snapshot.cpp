// The sending reads the database as of one moment: a writer that changes prices while the
// export runs never leaves half of its change in a package, and no row is stamped that the
// package does not hold.

#include "SendingDatabase.h"

#include "tests/core/QtPrint.h"

#include "package/ControlFile.h"
#include "package/Format.h"
#include "sending/EnvioMaestros.h"

#include "db/DB_Dll.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "platform/ado/Connection.h"
#include "zip/ModZIP.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

using envio::EnvioMaestros;
using envio::ResumenEnvio;

constexpr int kListas = 3;
constexpr int kArticulos = 4;
constexpr double kPrecioNuevo = 999;

QString articulo(int n) { return QStringLiteral("P%1").arg(n).rightJustified(25); }

// Another program on its own connection and thread: once started it changes the prices of
// one list after the other, each change committed on its own.
class Escritor {
public:
    explicit Escritor(const QString &cadena)
    {
        m_cnn.Open(cadena);
        m_cnn.setCommandTimeout(60); // waits for a lock held by the sending
    }
    ~Escritor() { unir(); }

    void empezar()
    {
        m_hilo = std::thread([this] {
            try {
                for (int lista = 1; lista <= kListas; ++lista)
                    m_cnn.Execute(QStringLiteral("UPDATE MA_PRECIOS SET Precio = %1 WHERE IdLista = '  K%2' AND "
                                                 "IdArticulo LIKE '%P%'")
                                      .arg(kPrecioNuevo)
                                      .arg(lista));
            } catch (const std::exception &) {
                m_fallo = true;
            }
            std::lock_guard lock(m_mutex);
            m_hecho = true;
            m_aviso.notify_all();
        });
    }
    // True when the writer finished within `ms`.
    bool esperar(int ms)
    {
        std::unique_lock lock(m_mutex);
        return m_aviso.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_hecho; });
    }
    void unir()
    {
        if (m_hilo.joinable())
            m_hilo.join();
    }
    bool fallo() const { return m_fallo; }

private:
    ado::Connection m_cnn;
    std::thread m_hilo;
    std::mutex m_mutex;
    std::condition_variable m_aviso;
    bool m_hecho = false;
    bool m_fallo = false;
};

// Starts the writer when the prices' file begins (its first page is read by then) and gives
// it a moment: it is done at once unless the sending holds it off.
class VistaConEscritor : public envio::VistaEnvio {
public:
    explicit VistaConEscritor(Escritor &escritor) : m_escritor(escritor) {}
    void actualizando(const QString &texto) override
    {
        if (m_empezado || !texto.startsWith(QLatin1String("Generando Archivo V_MA_PRECIOS")))
            return;
        m_empezado = true;
        m_escritor.empezar();
        m_escritor.esperar(1500);
    }

private:
    Escritor &m_escritor;
    bool m_empezado = false;
};

class InstantaneaTest : public SendingDatabaseTest {
protected:
    void SetUp() override
    {
        SendingDatabaseTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        pruebas::llenarMaestros(cnn());
        for (int lista = 1; lista <= kListas; ++lista) {
            for (int n = 1; n <= kArticulos; ++n)
                exec(QStringLiteral("INSERT INTO MA_PRECIOS (IdLista, IdArticulo, Precio, TRANSMISION) "
                                    "VALUES ('  K%1', '%2', 1, 0)")
                         .arg(lista)
                         .arg(articulo(n)));
        }
    }

    ResumenEnvio enviar(envio::VistaEnvio *vista, const QString &numero, bool retransmitir)
    {
        EnvioMaestros envio(gDB());
        envio.setTamanoPagina(2);
        envio.setVista(vista);
        EnvioMaestros::Datos d;
        d.numero = numero;
        d.responsable = QStringLiteral("Ana");
        d.carpeta = carpeta(QStringLiteral("salida") + numero);
        d.precios = true;
        d.retransmitir = retransmitir;
        return envio.EnviarMaestros(d);
    }

    // The prices of the package's P articles, as written.
    static QList<double> precios(const QString &zip)
    {
        QTemporaryDir destino;
        EXPECT_TRUE(ModZIP::Descomprimir(zip, destino.path()).ok());
        auto leer = [&](const QString &nombre) {
            QFile f(platform::findFileNoCase(destino.path(), nombre));
            EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << nombre.toStdString();
            QStringList l = platform::textfile::decode1252(f.readAll()).split(QStringLiteral("\r\n"));
            l.removeAll(QString());
            return l;
        };
        const package::ControlFile control = package::ControlFile::fromLines(leer(QStringLiteral("ControlMA.dat")));
        QStringList campos;
        for (const QString &c : control.fieldNames(QStringLiteral("V_MA_PRECIOS")))
            if (!package::leftOutOfLine(c))
                campos << c.toUpper();
        const qsizetype precio = campos.indexOf(QStringLiteral("PRECIO"));
        const qsizetype codigo = campos.indexOf(QStringLiteral("IDARTICULO"));
        QList<double> valores;
        for (const QString &linea : leer(QStringLiteral("V_MA_PRECIOS.dat"))) {
            const QStringList v = package::readLine(linea);
            if (v.value(codigo).trimmed().startsWith(QLatin1Char('P')))
                valores << QString(v.value(precio)).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
        }
        return valores;
    }

    static long nuevos(const QList<double> &valores) { return long(valores.count(kPrecioNuevo)); }
};

// Without stamps (the unattended sending's way) the package is the prices before the writer
// on every engine; the writer's change lands all the same.
TEST_P(InstantaneaTest, ARetransmissionHoldsThePricesOfOneMoment)
{
    Escritor escritor(connectionString());
    VistaConEscritor vista(escritor);
    const ResumenEnvio r = enviar(&vista, QStringLiteral("1"), true);
    escritor.unir();
    ASSERT_TRUE(r.ok) << r.motivo.toStdString();
    EXPECT_FALSE(escritor.fallo());
    const QList<double> enviados = precios(r.archivo);
    ASSERT_EQ(enviados.size(), kListas * kArticulos);
    EXPECT_EQ(nuevos(enviados), 0) << "a package holding part of the writer's change";
    EXPECT_EQ(count(QStringLiteral("MA_PRECIOS"), QStringLiteral("Precio = 999")), kListas * kArticulos);
}

// With stamps: SQLite holds the writer off until the package and its stamps are in; on
// PostgreSQL the writer goes first, the stamps of the rows it changed conflict, and the
// sending fails whole, stamping nothing, until it is run again.
TEST_P(InstantaneaTest, AStampedSendingNeverStampsRowsItsPackageDoesNotHold)
{
    Escritor escritor(connectionString());
    VistaConEscritor vista(escritor);
    if (!isSqlite())
        operatorScript().expect(QStringLiteral("Los datos cambiaron mientras se armaba el paquete"), platform::vbAbort);
    const ResumenEnvio r = enviar(&vista, QStringLiteral("1"), false);
    escritor.unir();
    EXPECT_FALSE(escritor.fallo());
    EXPECT_EQ(count(QStringLiteral("MA_PRECIOS"), QStringLiteral("Precio = 999")), kListas * kArticulos);
    if (isSqlite()) {
        ASSERT_TRUE(r.ok) << r.motivo.toStdString();
        const QList<double> enviados = precios(r.archivo);
        ASSERT_EQ(enviados.size(), kListas * kArticulos);
        EXPECT_EQ(nuevos(enviados), 0);
        EXPECT_EQ(count(QStringLiteral("MA_PRECIOS"), QStringLiteral("TRANSMISION = 1")), kListas * kArticulos + 3);
        return;
    }
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.archivo.isEmpty());
    EXPECT_EQ(QDir(carpeta(QStringLiteral("salida1"))).entryList(QDir::Files), QStringList());
    for (const QString &tabla : package::tableOrder())
        EXPECT_EQ(count(tabla, QStringLiteral("TRANSMISION <> 0")), 0) << tabla.toStdString();
    EXPECT_EQ(count(QStringLiteral("MV_TRANSMISIONES"),
                    QStringLiteral("TRANSMISION = 1 AND FECHAFIN IS NULL AND LOG IS NOT NULL")),
              1);

    // Sent again, the package holds the writer's prices, all of them stamped.
    const ResumenEnvio otra = enviar(nullptr, QStringLiteral("2"), false);
    ASSERT_TRUE(otra.ok) << otra.motivo.toStdString();
    const QList<double> enviados = precios(otra.archivo);
    ASSERT_EQ(enviados.size(), kListas * kArticulos);
    EXPECT_EQ(nuevos(enviados), kListas * kArticulos);
    EXPECT_EQ(count(QStringLiteral("MA_PRECIOS"), QStringLiteral("TRANSMISION = 2")), kListas * kArticulos + 3);
}

IMAESTROS_DATABASE_TESTS(InstantaneaTest);

} // namespace

// The master-article web service, asked over real HTTP: a small server on 127.0.0.1 answers.

#include "AplicacionQt.h"
#include "FormaArticulo.h"
#include "ServidorHttp.h"

#include "articles/ArticuloMaestro.h"
#include "articles/ClienteHttp.h"

#include "tests/core/QtPrint.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

using articles::ArticuloMaestro;
using Estado = articles::ArticuloMaestro::Estado;
using Form = articles::FrmArtAltaModelo;
using Respuesta = ServidorHttp::Respuesta;

class MasterService : public ::testing::Test {
protected:
    void SetUp() override { aplicacionQt(); }
    LimitesCortos m_limites;
    ServidorHttp m_servidor;
};

struct Caso {
    const char *nombre;
    Respuesta respuesta;
    Estado estado;
    QString descripcion, rubro, marca, unidad;
};

TEST_F(MasterService, RepliesReadAsTheArticleOrAsNoUsableReply)
{
    const Caso casos[] = {
        {"found",
         {200,
          R"({"descripcion":"Yerba Mate 1 kg","descRubro":"Almacen","descMarca":"Playadito","descUnidad":"Kilo",)"
          R"("precio":12.5})"},
         Estado::Encontrado,
         QStringLiteral("Yerba Mate 1 kg"),
         QStringLiteral("Almacen"),
         QStringLiteral("Playadito"),
         QStringLiteral("Kilo")},
        {"found as a list",
         {200, R"([{"descripcion":"Galletitas","descRubro":"Almacen"},{"descripcion":"Otra"}])"},
         Estado::Encontrado,
         QStringLiteral("Galletitas"),
         QStringLiteral("Almacen"),
         QString(),
         QString()},
        {"brackets in the texts",
         {200, R"([{"descripcion":"Pilas [AA] x4","descRubro":"[Electro]","descMarca":"]"}])"},
         Estado::Encontrado,
         QStringLiteral("Pilas [AA] x4"),
         QStringLiteral("[Electro]"),
         QStringLiteral("]"),
         QString()},
        {"null, number and untrimmed text",
         {200, R"({"descripcion":" Te verde ","descRubro":null,"descMarca":1234,"descUnidad":null})"},
         Estado::Encontrado,
         QStringLiteral(" Te verde "),
         QString(),
         QStringLiteral("1234"),
         QString()},
        {"charset of the reply",
         {200,
          QByteArray("{\"descripcion\":\"\xD1"
                     "and\xFA\"}"),
          "application/json; charset=iso-8859-1"},
         Estado::Encontrado,
         QStringLiteral("Ñandú"),
         QString(),
         QString(),
         QString()},
        {"not found",
         {200, R"({"descripcion":"   ","descRubro":"Almacen"})"},
         Estado::NoExiste,
         QStringLiteral("   "),
         QStringLiteral("Almacen"),
         QString(),
         QString()},
        {"null description", {200, R"({"descripcion":null})"}, Estado::NoExiste, {}, {}, {}, {}},
        {"empty", {200, ""}, Estado::Vacia, {}, {}, {}, {}},
        {"only brackets", {200, " [ ] \r\n"}, Estado::Vacia, {}, {}, {}, {}},
        {"500 with HTML",
         {500, "<html><body>Internal error</body></html>", "text/html"},
         Estado::SinConexion,
         {},
         {},
         {},
         {}},
        {"404 with the object", {404, R"({"descripcion":"Yerba"})"}, Estado::SinConexion, {}, {}, {}, {}},
        {"HTML with 200",
         {200, "<html><body>Mantenimiento</body></html>", "text/html"},
         Estado::SinConexion,
         {},
         {},
         {},
         {}},
        {"an object for a text", {200, R"({"descripcion":{"es":"Yerba"}})"}, Estado::SinConexion, {}, {}, {}, {}},
        {"cut short", {200, R"({"descripcion":"Truncado","descRubro":"R)"}, Estado::SinConexion, {}, {}, {}, {}},
        {"list cut short", {200, R"([{"descripcion":"Yerba"},)"}, Estado::SinConexion, {}, {}, {}, {}},
        {"garbage after the object",
         {200, R"({"descripcion":"Yerba"} <br>Warning)"},
         Estado::SinConexion,
         {},
         {},
         {},
         {}},
        {"a second object",
         {200, R"({"descripcion":"Yerba"}{"descripcion":"Otra"})"},
         Estado::SinConexion,
         {},
         {},
         {},
         {}},
        {"an invalid literal",
         {200, R"({"descripcion":"Yerba","descRubro":nul})"},
         Estado::SinConexion,
         {},
         {},
         {},
         {}},
        {"blanks and a comment after the object",
         {200, "{\"descripcion\":\"Yerba\"} // fin\r\n"},
         Estado::Encontrado,
         QStringLiteral("Yerba"),
         QString(),
         QString(),
         QString()},
        {"slower than the time-out",
         {200, R"({"descripcion":"Tarde"})", "application/json", 3000},
         Estado::SinConexion,
         {},
         {},
         {},
         {}},
        {"longer than allowed",
         {200, "{\"descripcion\":\"" + QByteArray(100 * 1024, 'x') + "\"}"},
         Estado::SinConexion,
         {},
         {},
         {},
         {}},
    };
    for (const Caso &caso : casos) {
        SCOPED_TRACE(caso.nombre);
        m_servidor.responder("/articulos/779", caso.respuesta);
        const ArticuloMaestro a = articles::ConsultarArticuloMaestro(m_servidor.direccion("/articulos/"), "779");
        EXPECT_EQ(a.estado, caso.estado);
        EXPECT_EQ(a.error.isEmpty(), caso.estado != Estado::SinConexion) << a.error.toStdString();
        if (caso.estado == Estado::SinConexion)
            continue;
        EXPECT_EQ(a.descripcion, caso.descripcion);
        EXPECT_EQ(a.descRubro, caso.rubro);
        EXPECT_EQ(a.descMarca, caso.marca);
        EXPECT_EQ(a.descUnidad, caso.unidad);
    }
}

TEST_F(MasterService, TheBarCodeIsTrimmedPercentEncodedAndGluedToTheBase)
{
    const struct {
        const char *base;
        QString codigo;
        QByteArray pedido;
    } casos[] = {
        {"/articulos/", QStringLiteral(" 7790001 "), "/articulos/7790001"},
        {"/articulos", QStringLiteral("779"), "/articulos779"},
        {"/a/", QStringLiteral("77 9/ñ?#&%"), "/a/77%209%2F%C3%B1%3F%23%26%25"},
        {"/a?codigo=", QStringLiteral("7+8=9"), "/a?codigo=7%2B8%3D9"},
        {"/a/", QStringLiteral("../../etc"), "/a/..%2F..%2Fetc"},
    };
    for (const auto &caso : casos) {
        (void)articles::ConsultarArticuloMaestro(m_servidor.direccion(QString::fromLatin1(caso.base)), caso.codigo);
        ASSERT_FALSE(m_servidor.pedidos().isEmpty());
        EXPECT_EQ(m_servidor.pedidos().last(), caso.pedido);
    }
}

TEST_F(MasterService, NoServerOrNoHttpAddressIsNoUsableReply)
{
    QElapsedTimer reloj;
    reloj.start();
    for (const QString &base : {ServidorHttp::direccionCerrada(QStringLiteral("/articulos/")),
                                QStringLiteral("file:///etc/"), QStringLiteral("sin esquema/")}) {
        SCOPED_TRACE(base.toStdString());
        const ArticuloMaestro a = articles::ConsultarArticuloMaestro(base, QStringLiteral("passwd"));
        EXPECT_EQ(a.estado, Estado::SinConexion);
        EXPECT_FALSE(a.error.isEmpty());
    }
    EXPECT_LT(reloj.elapsed(), 1000); // refused at once, not waited for
}

TEST_F(MasterService, ASlowServerIsGivenUpAtTheTotalTimeOut)
{
    m_servidor.responder("/lento", {200, R"({"descripcion":"Tarde"})", "application/json", 5000});
    QElapsedTimer reloj;
    reloj.start();
    const auto respuesta = articles::ObtenerHttp(QUrl(m_servidor.direccion(QStringLiteral("/lento"))));
    EXPECT_LT(reloj.elapsed(), 2000);
    EXPECT_GE(reloj.elapsed(), 350);
    ASSERT_FALSE(respuesta);
    EXPECT_TRUE(respuesta.message().contains(QStringLiteral("sin respuesta completa después de 400 ms")))
        << respuesta.message().toStdString();
}

// ---------------------------------------------------------------- the form's query

class MasterServiceForm : public ArticleFormTest {
protected:
    void SetUp() override
    {
        aplicacionQt();
        ArticleFormTest::SetUp();
    }
    void configurarServicio(const QString &base)
    {
        configurar(QStringLiteral("WSArticulos"), QStringLiteral("  ") + base + QStringLiteral(" "));
    }
    LimitesCortos m_limites;
    ServidorHttp m_servidor;
};

TEST_P(MasterServiceForm, ANewBarCodeGetsTheDescriptionCodesAndLabelsOfTheService)
{
    rubro(QStringLiteral("  10"), QStringLiteral("Almacen"));
    m_servidor.responder("/maestro/7790001",
                         {200,
                          R"([{"descripcion":"Yerba [1 kg]","descRubro":"Almacen","descMarca":"Playa'dito",)"
                          R"("descUnidad":"Kilo"}])"});
    configurarServicio(m_servidor.direccion(QStringLiteral("/maestro/")));
    cargar();
    confirmar(Form::kCodigo, QStringLiteral("7790001"));

    EXPECT_EQ(m_servidor.pedidos(), QList<QByteArray>{"/maestro/7790001"});
    EXPECT_EQ(caja(Form::kDescripcion), QStringLiteral("Yerba [1 kg]"));
    EXPECT_EQ(form().LblProceso, QStringLiteral("Encontrado..."));
    EXPECT_EQ(form().LblProcesoBackColor, 0xFF00);
    EXPECT_EQ(caja(Form::kIdRubro), QStringLiteral("  10"));
    const QString tipo = scalar(QStringLiteral("SELECT IdTipo FROM V_TA_TIPOARTICULO WHERE Descripcion = 'Playadito'"));
    EXPECT_FALSE(tipo.isEmpty()); // made from the description, without its apostrophe
    EXPECT_EQ(caja(Form::kIdTipo), tipo);
    EXPECT_EQ(caja(Form::kIdUnidad),
              scalar(QStringLiteral("SELECT IdUnidad FROM V_TA_UNIDAD WHERE Descripcion = 'Kilo'")));
    const QStringList esperadas = {QStringLiteral("Almacen"), QStringLiteral("Playadito"), QStringLiteral("Kilo")};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form().lblDesc[i].Caption, esperadas[i]);
        EXPECT_EQ(form().TxtDesc[i].Text, esperadas[i]);
    }
    EXPECT_TRUE(form().articuloNuevo());
}

struct Fallida {
    const char *nombre;
    Respuesta respuesta;
    bool servidor; // false: nobody listens
    QString proceso;
    int color;
};

TEST_P(MasterServiceForm, AnswersWithoutTheArticleSetTheErrorAndSayWhy)
{
    const QString noExiste = QStringLiteral("Actualmente el codigo informado no existe en la base maestra");
    const QString noConecta = QStringLiteral("NO SE PUDO CONECTAR AL WEB SERVICE DE ARTICULOS");
    const Fallida casos[] = {
        {"not found", {200, R"({"descripcion":""})"}, true, noExiste, 0xFFFFFF},
        {"empty", {200, "[]"}, true, noExiste, 0xFFFFFF},
        {"500 with HTML", {500, "<html>Error</html>", "text/html"}, true, noConecta, 0xFFFF},
        {"not JSON", {200, "Servicio suspendido"}, true, noConecta, 0xFFFF},
        {"too slow", {200, R"({"descripcion":"Tarde"})", "application/json", 3000}, true, noConecta, 0xFFFF},
        {"refused", {}, false, noConecta, 0xFFFF},
    };
    cargar();
    for (const Fallida &caso : casos) {
        SCOPED_TRACE(caso.nombre);
        m_servidor.responder("/m/779", caso.respuesta);
        exec(QStringLiteral("DELETE FROM TA_CONFIGURACION WHERE CLAVE = 'WSArticulos'"));
        configurarServicio(caso.servidor ? m_servidor.direccion(QStringLiteral("/m/"))
                                         : ServidorHttp::direccionCerrada(QStringLiteral("/m/")));
        bool error = false;
        QString mensaje;
        EXPECT_EQ(form().ObtenerDescMaestra(QStringLiteral("779"), error, mensaje), QString());
        EXPECT_TRUE(error);
        EXPECT_EQ(mensaje, caso.proceso);
        EXPECT_EQ(form().LblProceso, caso.proceso);
        EXPECT_EQ(form().LblProcesoBackColor, caso.color);
        EXPECT_EQ(caja(Form::kIdRubro), QString());
    }
    EXPECT_EQ(operatorScript().asked().size(), 0); // no dialog on any of them
}

IMAESTROS_DATABASE_TESTS(MasterServiceForm);

} // namespace

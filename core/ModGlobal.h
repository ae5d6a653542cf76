#pragma once

// The shared module of the program: start-up, configuration, access log, statement
// builder, error routine, query masks, article lookup and small routines.
#include "core/Acceso.h"
#include "core/BuscarArticulo.h"
#include "core/CampoValor.h"
#include "core/Configuracion.h"
#include "core/Globals.h"
#include "core/Inicio.h"
#include "core/LineaComandos.h"
#include "core/MascaraConsulta.h"
#include "core/MostrarError.h"
#include "core/Rutinas.h"
#include "core/RutinasDatos.h"
#include "core/Sentencias.h"
#include "core/SharedLookup.h"

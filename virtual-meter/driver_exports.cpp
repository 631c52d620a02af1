// The fifteen driver functions, and the three optional ones of fast transfer, under their plain C
// names, as the adapter maker's library exports them, so that the program loads this library
// exactly like the real driver. Each one routes to the library's bus, made from the environment on
// first use.
#include "link/d2xx_api.h"
#include "platform/shared_library.h"
#include "virtual-meter/loadable_bus.h"

using namespace klxr::d2xx;
using klxr::vm::LoadableBus;

// Each function passes its call on to the bus method of the same short name. On Windows,
// klxr-virtual-meter.def names them as the library's exports.
#define KLXR_VM_DEFINE_EXPORT(name, shortName, parameters, arguments) \
  KLXR_PLAIN_NAME_EXPORT FT_STATUS KLXR_D2XX_CALL name parameters {   \
    return LoadableBus().shortName arguments;                         \
  }

extern "C" {
KLXR_D2XX_FUNCTIONS(KLXR_VM_DEFINE_EXPORT)
}  // extern "C"

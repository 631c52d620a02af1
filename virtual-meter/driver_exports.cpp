// The fifteen driver functions, and the three optional ones of fast transfer, under their plain C
// names, as the adapter maker's library exports them, so that the program loads this library
// exactly like the real driver. Each one routes to the library's bus, made from the environment on
// first use.
#include "link/d2xx_api.h"
#include "virtual-meter/loadable_bus.h"

#if defined(_WIN32)
// klxr-virtual-meter.def exports them, under the plain names only: dllexport would add the
// decorated __stdcall names (FT_Open@8) of a 32-bit build beside them.
#define KLXR_VM_EXPORT
#else
#define KLXR_VM_EXPORT __attribute__((visibility("default")))
#endif

using namespace klxr::d2xx;
using klxr::vm::LoadableBus;

// Each function passes its call on to the bus method of the same short name.
#define KLXR_VM_DEFINE_EXPORT(name, shortName, parameters, arguments) \
  KLXR_VM_EXPORT FT_STATUS KLXR_D2XX_CALL name parameters {           \
    return LoadableBus().shortName arguments;                         \
  }

extern "C" {
KLXR_D2XX_FUNCTIONS(KLXR_VM_DEFINE_EXPORT)
}  // extern "C"

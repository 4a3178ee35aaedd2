#include "settings/options_globals.h"

namespace vantel {

OptionsGlobals& optionsGlobals() {
    static OptionsGlobals globals;
    return globals;
}

}  // namespace vantel

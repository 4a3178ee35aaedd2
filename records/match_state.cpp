#include "records/match_state.h"

namespace vantel {

MatchState& sharedState() {
    static MatchState state;
    return state;
}

}  // namespace vantel

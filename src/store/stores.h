#pragma once

#include "store/callfigures.h"
#include "store/callhistory.h"
#include "store/calllogstore.h"
#include "store/connection.h"
#include "store/customerstore.h"
#include "store/recentcallsstore.h"
#include "store/ringstore.h"

namespace corvane {

// The program's connection to tel.mdb and the stores of its tables, made once
// at start-up and handed to whatever reads or writes them.
struct Stores
{
    Connection connection;
    CustomerStore customers{connection};
    CallLogStore calls{connection};
    RingStore rings{connection};
    CallHistory callHistory{connection};
    RecentCallsStore recentCalls{connection};
    CallFiguresStore callFigures{connection};
};

} // namespace corvane

// The toolkit's own classes as stored descriptions name them, with their property tables.
#pragma once

class TClassRegistry;

void RegisterFrameworkClasses(TClassRegistry& registry);

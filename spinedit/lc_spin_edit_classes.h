// The spin edit's classes (and the edit's beneath them) as a stored description may name them.
#pragma once

class TClassRegistry;

void RegisterSpinEditClasses(TClassRegistry& registry);

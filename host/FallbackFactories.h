#pragma once
// Class factories the host puts on the factory list itself while the module does not yet
// register them, so documents naming the viewer or the A-scan control open.
void EnsureFallbackFactories();

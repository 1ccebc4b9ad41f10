# The layers, bottom up, and their folders. A folder may include its own layer and those
# beneath it only.
set(KOR_LAYERS platform core services ui)
set(KOR_LAYER_platform platform)
set(KOR_LAYER_core core)
set(KOR_LAYER_services fpga scaler inputs hostlink)
set(KOR_LAYER_ui ui)

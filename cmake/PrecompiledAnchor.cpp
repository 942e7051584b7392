// The one source of the anchor targets that precompile the shared headers (cmake/Precompiled.cmake).

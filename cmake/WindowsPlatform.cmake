# On Windows the platform is the system itself: corvane_platform names the system libraries the
# layers above call, so that every layer links it the same way as on Linux.
add_library(corvane_platform INTERFACE)
target_link_libraries(corvane_platform INTERFACE gdiplus gdi32 user32 kernel32 winmm shell32 shlwapi version)
# The real headers would otherwise define min and max as macros, hiding std::min and std::max.
target_compile_definitions(corvane_platform INTERFACE NOMINMAX)

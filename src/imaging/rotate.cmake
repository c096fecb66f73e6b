# Turning bitmaps by 180 degrees (no widgets).
add_library(quadrela_rotate STATIC
    ${CMAKE_CURRENT_LIST_DIR}/RotateBmp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RotateBmp.h
)
add_library(Quadrela::rotate ALIAS quadrela_rotate)
target_link_libraries(quadrela_rotate PUBLIC Quadrela::core Qt6::Gui)

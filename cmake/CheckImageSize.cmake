# cmake -DIMAGE=<exe> -DBUDGET=<bytes> -P CheckImageSize.cmake
# Fails the build when the linked image outgrows its budget.
file(SIZE "${IMAGE}" size)
if(size GREATER BUDGET)
  message(FATAL_ERROR "${IMAGE} is ${size} bytes, over its budget of ${BUDGET}")
endif()
message(STATUS "Linked image: ${size} bytes (budget ${BUDGET})")

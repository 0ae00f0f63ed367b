# Read by cpack before it makes each package: its time stamps come from
# SOURCE_DATE_EPOCH, or from the last commit.
include(${CPACK_QUASARIL_SOURCE_DIR}/cmake/SourceDateEpoch.cmake)
quasaril_source_date_epoch(${CPACK_QUASARIL_SOURCE_DIR})

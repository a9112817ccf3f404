# The project version for every target: SMWAVE_VERSION is the text "MAJOR.MINOR.PATCH" of project().
add_compile_definitions(SMWAVE_VERSION="${PROJECT_VERSION}")

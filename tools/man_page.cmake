# Writes the man page of qovaicu, gzip-compressed as Debian installs man pages: help2man reads
# `qovaicu --help` and `--version`; the help of each command (the "Subcommands:" of --help)
# becomes a section COMMANDS of its own.
#   cmake -DTOOL=<qovaicu> -DHELP2MAN=<help2man> -DOUTPUT=<file.1> -P man_page.cmake
# The tool runs through PATH, so that its usage lines name it without the build folder.
get_filename_component(dir ${TOOL} DIRECTORY)
set(ENV{PATH} "${dir}:$ENV{PATH}")
set(TOOL qovaicu)
execute_process(COMMAND ${TOOL} --help OUTPUT_VARIABLE help COMMAND_ERROR_IS_FATAL ANY)
string(REGEX REPLACE ".*\nSubcommands:\n" "" commands "${help}")
string(REGEX REPLACE "\n\n.*" "" commands "${commands}")
string(REGEX MATCHALL "(^|\n)  [a-z]+" names "${commands}")
set(section "[COMMANDS]\n")
foreach(name IN LISTS names)
  string(STRIP "${name}" name)
  execute_process(COMMAND ${TOOL} ${name} --help OUTPUT_VARIABLE text COMMAND_ERROR_IS_FATAL ANY)
  # roff: a leading dot or quote would start a request; backslashes are escapes.
  string(REPLACE "\\" "\\e" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  string(APPEND section ".SS \"qovaicu ${name}\"\n.nf\n${text}.fi\n")
endforeach()
file(WRITE ${OUTPUT}.include "${section}")
execute_process(COMMAND ${HELP2MAN} --no-info --no-discard-stderr --include ${OUTPUT}.include
                        --name "Unicode text services of QOVAicuC on the command line"
                        --output ${OUTPUT} ${TOOL}
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND gzip -9nf ${OUTPUT} COMMAND_ERROR_IS_FATAL ANY)

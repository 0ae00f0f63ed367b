# The files the game reads by name from its working directory: the one list
# of them. Everything else takes the names from here: the game's code and the
# tests through the header GameFiles.h made from it (gamefiles::NAME), the
# picture and sound tools, the run directory, the player's directory and the package.
# Only sets variables and defines a function, so a script may include it too.
#
# Each entry is NAME=FILE: NAME is the constant's name, FILE the file's.

# The pictures, drawn by tools/pictures.
set(QUASARIL_PICTURE_ENTRIES
  ship=SpaceShip3.png
  plainShot=Projectile3.png
  torpedoShot=bolt.png
  virusShot=virus2.png
  plainBrain=brain.png
  freezeBrain=brain_freeze3.png
  fireBrain=brain_fire3.png
  brainShot=brain_Projectile1.png
  explodedShip=explode1.png
  powerUp=powerup.png
  bubble=bubble2.png
  splashScreen=SplashScreen1.png
  backdrop=space2.png
  mainMenu=mainmenu.png)
# The sounds, made by tools/sounds.
set(QUASARIL_SOUND_ENTRIES
  shotSound=shot.wav
  enemyShotSound=enemy-shot.wav
  brainHitSound=brain-hit.wav
  shipHitSound=ship-hit.wav
  powerUpSound=power-up.wav
  winSound=win.wav
  clickSound=click.wav)
# The font, Liberation Sans under the name the game asks for.
set(QUASARIL_FONT_ENTRY font=Arial.ttf)

# QUASARIL_PICTURES and QUASARIL_SOUNDS: the file names of the pictures and
# of the sounds; QUASARIL_FONT_FILE: the font's.
list(TRANSFORM QUASARIL_PICTURE_ENTRIES REPLACE "^[^=]*=" "" OUTPUT_VARIABLE QUASARIL_PICTURES)
list(TRANSFORM QUASARIL_SOUND_ENTRIES REPLACE "^[^=]*=" "" OUTPUT_VARIABLE QUASARIL_SOUNDS)
string(REGEX REPLACE "^[^=]*=" "" QUASARIL_FONT_FILE ${QUASARIL_FONT_ENTRY})

# Writes GameFiles.h from src/GameFiles.h.in into the directory given: one
# constant per file, and the lists of the pictures, of the sounds and of all
# the files.
function(quasaril_write_game_files_header directory)
  set(QUASARIL_GAME_FILE_CONSTANTS)
  foreach(entry ${QUASARIL_PICTURE_ENTRIES} ${QUASARIL_SOUND_ENTRIES} ${QUASARIL_FONT_ENTRY})
    string(REPLACE "=" ";" pair ${entry})
    list(GET pair 0 name)
    list(GET pair 1 file)
    string(APPEND QUASARIL_GAME_FILE_CONSTANTS "inline constexpr char ${name}[] = \"${file}\";\n")
  endforeach()
  foreach(kind PICTURE SOUND)
    list(TRANSFORM QUASARIL_${kind}_ENTRIES REPLACE "=.*" "" OUTPUT_VARIABLE names)
    list(JOIN names ", " QUASARIL_${kind}_CONSTANTS)
  endforeach()
  string(REGEX REPLACE "=.*" "" QUASARIL_FONT_CONSTANT ${QUASARIL_FONT_ENTRY})
  configure_file(${PROJECT_SOURCE_DIR}/src/GameFiles.h.in ${directory}/GameFiles.h @ONLY)
endfunction()

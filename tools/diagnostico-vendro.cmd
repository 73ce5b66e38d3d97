@rem ÿþï»¿áéíóúñÑ¿¡«»ÁÉÍÓÚü
@echo off
rem Diagnostico de un puesto de Vendro.
rem
rem Se deja junto a Vendro.exe y se ejecuta con doble clic. Examina la carpeta en la que esta
rem este fichero y el equipo, y escribe un informe de texto para soporte:
rem   %TEMP%\diagnostico-vendro.txt
rem (si no se puede escribir alli, diagnostico-vendro.txt junto a este fichero), que abre en el
rem Bloc de notas al terminar. Con /q no lo abre ni espera a que se pulse una tecla.
rem No cambia nada del equipo: solo lee (cmd, reg, tasklist, whoami, findstr) y escribe su informe.
rem
rem El informe va en la pagina de codigos 1252, la de Windows en espanol; la de la ventana se deja
rem como estaba. Los caracteres acentuados de los mensajes no se escriben en este fichero, que
rem cmd puede leer con otra pagina de codigos: se toman de la primera linea, leida con set /p, que
rem los pasa por la misma pagina con que se escriben (t_a es la a con tilde, t_n la ene...).
rem
rem Las rutas, los valores del Registro y las lineas del log pueden llevar & % ^ ! ( ) y comillas.
rem Ninguno de esos textos se pone con %...% en una orden que cmd vuelva a leer: se muestran con
rem :mostrar (que los lee con set, en una variable de for), las rutas de la carpeta examinada se
rem usan relativas a ella, y en las comparaciones solo entra un caracter cada vez. Sin expansion
rem retardada: su ! se comeria los de las rutas.

setlocal EnableExtensions DisableDelayedExpansion
rem Con doble clic la carpeta actual es la de este fichero; si no (Ejecutar como administrador
rem empieza en System32), se entra en ella.
if not exist "%~nx0" pushd "%~dp0"
set "CP_ANTES="
for /f "tokens=2 delims=:." %%c in ('chcp') do set /a CP_ANTES=%%c >nul 2>&1
if "%CP_ANTES%"=="0" set "CP_ANTES="
chcp 1252 >nul 2>&1
set "PRIMERA_LINEA="
set /p PRIMERA_LINEA=<"%~nx0"
set "b_ff=%PRIMERA_LINEA:~5,1%"
set "b_fe=%PRIMERA_LINEA:~6,1%"
set "b_ef=%PRIMERA_LINEA:~7,1%"
set "b_bb=%PRIMERA_LINEA:~8,1%"
set "b_bf=%PRIMERA_LINEA:~9,1%"
set "t_a=%PRIMERA_LINEA:~10,1%"
set "t_e=%PRIMERA_LINEA:~11,1%"
set "t_i=%PRIMERA_LINEA:~12,1%"
set "t_o=%PRIMERA_LINEA:~13,1%"
set "t_u=%PRIMERA_LINEA:~14,1%"
set "t_n=%PRIMERA_LINEA:~15,1%"
set "t_comi=%PRIMERA_LINEA:~19,1%"
set "t_comd=%PRIMERA_LINEA:~20,1%"
set "t_amay=%PRIMERA_LINEA:~21,1%"
set "t_omay=%PRIMERA_LINEA:~24,1%"

rem reg y findstr por su ruta: los de la carpeta examinada no cuentan.
set "REG=%SystemRoot%\System32\reg.exe"
set "FINDSTR=%SystemRoot%\System32\findstr.exe"
set "CARPETA="
for /f "delims=" %%d in ('cd') do set "CARPETA=%%d"

set "INFORME=%TEMP%\diagnostico-vendro.txt"
if not defined TEMP set "INFORME=diagnostico-vendro.txt"
rem El informe de una ejecucion anterior se borra antes, para no tomarlo por el de esta.
del "%INFORME%" >nul 2>&1
call :informe > "%INFORME%" 2>&1
if exist "%INFORME%" goto escrito
set "INFORME=diagnostico-vendro.txt"
del "%INFORME%" >nul 2>&1
call :informe > "%INFORME%" 2>&1
if exist "%INFORME%" goto escrito
if defined CP_ANTES chcp %CP_ANTES% >nul 2>&1
echo No se ha podido escribir el informe ni en la carpeta temporal ni junto a este fichero.
goto fin

:escrito
for %%f in ("%INFORME%") do set "INFORME=%%~ff"
if defined CP_ANTES chcp %CP_ANTES% >nul 2>&1
echo.
echo Diagn%t_o%stico de Vendro terminado. Informe escrito en:
call :mostrar INFORME "  "
echo Env%t_i%e ese fichero a soporte.
if /i not "%~1"=="/q" start "" notepad.exe "%INFORME%"

:fin
if /i not "%~1"=="/q" pause
endlocal
exit /b 0


rem ---------------------------------------------------------------------------------------
rem :mostrar VARIABLE "ANTES" "DESPUES" -- una linea con el valor de la variable entre dos textos
rem fijos. El valor llega por set a una variable de for, que cmd ya no interpreta; la variable
rem debe existir.

:mostrar
for /f "tokens=1* delims==" %%a in ('set %~1') do if /i "%%a"=="%~1" echo:%~2%%b%~3
goto :eof

rem :plural N SINGULAR PLURAL -- PALABRA es la forma que corresponde a N.
:plural
set "PALABRA=%~3"
if "%~1"=="1" set "PALABRA=%~2"
goto :eof


rem ---------------------------------------------------------------------------------------
rem El informe, a la salida estandar.

:informe
echo ===== Diagn%t_o%stico de Vendro =====
echo Fecha: %DATE% %TIME%
if defined COMPUTERNAME call :mostrar COMPUTERNAME "Equipo: "
call :mostrar CARPETA "Carpeta examinada: "
echo.

echo ===== Windows =====
ver
echo PROCESSOR_ARCHITECTURE=%PROCESSOR_ARCHITECTURE%
echo PROCESSOR_ARCHITEW6432=%PROCESSOR_ARCHITEW6432%
set "BITS=64"
if /i "%PROCESSOR_ARCHITECTURE%"=="x86" if not defined PROCESSOR_ARCHITEW6432 set "BITS=32"
echo Windows de %BITS% bits.
if "%BITS%"=="64" echo El Registro de Windows tiene dos vistas: la de 32 bits, Wow6432Node, y la de 64 bits.
if "%BITS%"=="32" echo El Registro de Windows tiene una sola vista.
echo.

echo ===== Usuario y sesi%t_o%n =====
call :usuario
echo.

echo ===== Java en el Registro de Windows =====
call :java
echo.

echo ===== Qu%t_e% Java usar%t_a% Vendro =====
call :veredicto
echo.

echo ===== Fichero de opciones =====
call :opciones
echo.

echo ===== Carpeta de Vendro =====
dir /a-d
echo.
if exist "Vendro.exe" echo Vendro.exe: presente
if not exist "Vendro.exe" echo Vendro.exe: NO EST%t_amay% en esta carpeta
if exist "wyUpdate.exe" echo wyUpdate.exe: presente
if not exist "wyUpdate.exe" echo wyUpdate.exe: NO EST%t_amay%; Vendro avisar%t_a% en cada arranque
echo.

echo ===== Carpeta lib =====
if not exist "lib\" echo No existe la carpeta.
if exist "lib\" dir "lib"
echo.
echo ===== Carpeta swt =====
if not exist "swt\" echo No existe la carpeta.
if exist "swt\" dir "swt"
echo.

echo ===== Variable Pelmorin =====
if not defined Pelmorin echo La variable Pelmorin no est%t_a% definida en este entorno.
if defined Pelmorin call :mostrar Pelmorin "Pelmorin="
echo En el Registro de Windows, usuario, HKCU\Environment:
call :valor "HKCU\Environment"
echo En el Registro de Windows, equipo, HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment:
call :valor "HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
echo.

echo ===== Log de depuraci%t_o%n pelmorin.log =====
call :log
echo.

echo ===== Programas en marcha =====
call :programas
echo.
echo ===== Fin del diagn%t_o%stico =====
goto :eof


rem ---------------------------------------------------------------------------------------
rem La cuenta, si tiene los permisos de administrador en uso (nivel de integridad alto) y el
rem tipo de sesion. whoami /groups da el nivel con su SID, el mismo en cualquier idioma.

:usuario
set "CUENTA="
for /f "delims=" %%u in ('whoami 2^>nul') do set "CUENTA=%%u"
if not defined CUENTA if defined USERNAME set "CUENTA=%USERDOMAIN%\%USERNAME%"
if defined CUENTA call :mostrar CUENTA "Cuenta: "
set "ELEVADO=no se sabe: whoami no da el nivel de integridad"
for /f "delims=" %%g in ('whoami /groups 2^>nul ^| %FINDSTR% /c:"S-1-16-8192"') do set "ELEVADO=no"
for /f "delims=" %%g in ('whoami /groups 2^>nul ^| %FINDSTR% /c:"S-1-16-12288" /c:"S-1-16-16384"') do set "ELEVADO=s%t_i%: este informe se ha hecho como administrador, no como el cajero"
echo Con permisos de administrador: %ELEVADO%
if not defined SESSIONNAME echo Sesi%t_o%n: no se sabe, no hay variable SESSIONNAME
if /i "%SESSIONNAME%"=="Console" echo Sesi%t_o%n: en el propio equipo, Console
if defined SESSIONNAME if /i not "%SESSIONNAME%"=="Console" call :mostrar SESSIONNAME "Sesi%t_o%n: remota, por Escritorio remoto u otro servidor de terminales: "
goto :eof


rem ---------------------------------------------------------------------------------------
rem Java en el Registro de Windows, con las reglas de Vendro. Se recorre dos veces: la primera
rem en silencio, para saber cual elige al final; la segunda lo explica version por version.

:java
set "MINIMA=1.7.0"
set "VISTAS=32"
if "%BITS%"=="64" set "VISTAS=32 64"
call :sondeo 32
if "%BITS%"=="64" call :sondeo 64
echo Claves que lee Vendro, en este orden. De cada versi%t_o%n: JavaHome, si est%t_a% javaw.exe (en
echo JavaHome\bin en un JRE, en JavaHome\jre\bin en un JDK) y qu%t_e% hace Vendro con ella.
echo Vendro compara las versiones car%t_a%cter a car%t_a%cter (1.8.0_45 es mayor que 1.8.0_101) y
echo se queda con la mayor que tenga javaw.exe, desde 1.7.0.
set "ELEGIDA="
set "ELEGIDA_BITS="
call :recorrer >nul 2>&1
set "ELEGIDA=%MEJOR%"
set "ELEGIDA_BITS=%MEJOR_BITS%"
set "ELEGIDA_CLAVE=%MEJOR_CLAVE%"
set "ELEGIDA_JAVAW="
if defined MEJOR_JAVAW call :copiar MEJOR_JAVAW ELEGIDA_JAVAW
call :recorrer
echo.
set "NO_LEE="
if defined NO_LEE_32 set "NO_LEE=1"
if defined NO_LEE_64 set "NO_LEE=1"
if defined NO_LEE echo No se ha podido leer el Registro de Windows: no se sabe qu%t_e% Java hay.
if defined NO_LEE goto java_otras
if not defined VISTO_NADA goto java_resumen
echo No se ha encontrado Java: ninguna de estas claves tiene versiones.
goto java_otras
:java_resumen
call :plural %VERSIONES% "versi%t_o%n registrada" "versiones registradas"
set "TEXTO_V=%PALABRA%"
call :plural %INSTALACIONES% "instalaci%t_o%n" "instalaciones"
set "TEXTO_I=%PALABRA%"
call :plural %UTILES% "tiene" "tienen"
if "%INSTALACIONES%"=="1" echo Resumen: %VERSIONES% %TEXTO_V%, de una sola instalaci%t_o%n; %UTILES% %PALABRA% javaw.exe.
if not "%INSTALACIONES%"=="1" echo Resumen: %VERSIONES% %TEXTO_V%, de %INSTALACIONES% %TEXTO_I% distintas por su carpeta; %UTILES% %PALABRA% javaw.exe.
:java_otras
echo.
echo Otras claves de Java que Vendro NO lee, de Java 9 y posteriores o de OpenJDK de otros fabricantes:
set "OTRAS=0"
for %%k in ("JavaSoft\JRE" "JavaSoft\JDK" "Eclipse Adoptium" "AdoptOpenJDK" "Eclipse Foundation" "Azul Systems" "Amazon Corretto" "BellSoft" "Microsoft\JDK") do for %%v in (%VISTAS%) do call :otra "%%~k" %%v
if "%OTRAS%"=="0" if not defined NO_LEE echo   ninguna
if "%OTRAS%"=="0" if defined NO_LEE echo   no se sabe: no se han podido leer
goto :eof

rem :sondeo VISTA -- si reg lee el Registro en esa vista. Si no (reg bloqueado por una directiva,
rem un reg sin /reg:32 ni /reg:64, un fallo), NO_LEE_VISTA lleva lo que dijo.
:sondeo
set "NO_LEE_%1="
set "OPCION="
if "%BITS%"=="64" set "OPCION=/reg:%1"
"%REG%" query "HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion" /v ProgramFilesDir %OPCION% >nul 2>&1
if not errorlevel 1 goto :eof
set "NO_LEE_%1=reg termina con el c%t_o%digo %ERRORLEVEL%"
for /f "delims=" %%e in ('%REG% query "HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion" /v ProgramFilesDir %OPCION% 2^>^&1') do if "%%e" NEQ "" set "NO_LEE_%1=%%e"
goto :eof

rem Un recorrido de las claves como lo hace Vendro. Deja en MEJOR la version aceptada (con
rem MEJOR_BITS, MEJOR_CLAVE, MEJOR_JAVAW), en MALO 1 si alguna que pasa los filtros de version no
rem sirve, y en DUDA lo que no se ha podido saber y podria cambiar la eleccion.
:recorrer
set "MEJOR="
set "MEJOR_BITS="
set "MEJOR_CLAVE="
set "MEJOR_JAVAW="
set "MALO=0"
set "DUDA="
set "VERSIONES=0"
set "UTILES=0"
if defined INSTALACIONES for /l %%n in (1,1,%INSTALACIONES%) do set "CARPETA_JAVA_%%n="
set "INSTALACIONES=0"
call :clave "JavaSoft\Java Development Kit" JDK
call :clave "JavaSoft\Java Runtime Environment" JRE
set "MIRA_IBM=1"
if defined MEJOR set "MIRA_IBM="
call :clave "IBM\Java Development Kit" JDK
call :clave "IBM\Java2 Runtime Environment" JRE
set "VISTO_NADA="
if "%VERSIONES%"=="0" set "VISTO_NADA=1"
goto :eof

rem :clave "SUBCLAVE DE SOFTWARE" TIPO -- una clave de Java en cada vista.
:clave
set "SUB=%~1"
set "TIPO=%~2"
set "FABRICANTE=JavaSoft"
if /i "%SUB:~0,4%"=="IBM\" set "FABRICANTE=IBM"
for %%v in (%VISTAS%) do call :vista %%v
goto :eof

rem :vista VISTA -- la clave en una vista; MIRA dice si Vendro la mira en este punto.
:vista
set "VISTA=%1"
set "CLAVE=HKLM\SOFTWARE\%SUB%"
set "OPCION="
if "%BITS%"=="64" set "OPCION=/reg:%VISTA%"
set "MIRA=1"
set "POR_QUE_NO="
if "%FABRICANTE%"=="IBM" if not defined MIRA_IBM set "POR_QUE_NO=las claves de IBM solo se miran si las de JavaSoft no dan ning%t_u%n Java"
if "%VISTA%"=="64" if "%MEJOR_BITS%"=="32" set "POR_QUE_NO=ya ha aceptado un Java de 32 bits, y entonces no mira la vista de 64 bits"
if defined POR_QUE_NO set "MIRA="
echo.
if "%BITS%"=="32" echo --- %CLAVE%
if "%BITS%"=="64" echo --- %CLAVE%   [vista de %VISTA% bits]
if defined POR_QUE_NO echo     Vendro no mira aqu%t_i%: %POR_QUE_NO%.
if defined NO_LEE_%VISTA% goto vista_sin_reg
"%REG%" query "%CLAVE%" %OPCION% >nul 2>&1
if errorlevel 1 goto vista_no_abre
set "EN_CLAVE=0"
for /f "tokens=1-6 delims=\" %%a in ('%REG% query "%CLAVE%" %OPCION% 2^>nul') do (
  set "VERSION="
  if /i "%%a"=="HKEY_LOCAL_MACHINE" if /i not "%%c"=="Wow6432Node" set "VERSION=%%e"
  if /i "%%a"=="HKEY_LOCAL_MACHINE" if /i "%%c"=="Wow6432Node" set "VERSION=%%f"
  if defined VERSION call :version
)
if "%EN_CLAVE%"=="0" echo     sin versiones
goto :eof
:vista_sin_reg
echo     no se ha podido leer: reg no lee el Registro de Windows en esta vista.
if defined MIRA if not defined DUDA set "DUDA=no se ha podido leer el Registro de Windows en la vista de %VISTA% bits"
goto :eof
:vista_no_abre
call :no_abre "%CLAVE%" "%SUB%"
if "%ESTADO%"=="no existe" echo     no existe
if "%ESTADO%"=="no existe" goto :eof
echo     no se ha podido leer, aunque existe:
call :mostrar MOTIVO "        "
if defined MIRA if not defined DUDA set "DUDA=no se ha podido leer %CLAVE% en la vista de %VISTA% bits"
goto :eof

rem :no_abre CLAVE SUB -- reg no abre la clave: ESTADO dice si es que no existe (no esta en la lista
rem de su clave madre) o si existe y no se puede leer; MOTIVO, lo que dijo reg.
:no_abre
set "ESTADO=no existe"
set "MOTIVO=(reg no dice nada)"
for /f "delims=" %%e in ('%REG% query "%~1" %OPCION% 2^>^&1') do if "%%e" NEQ "" set "MOTIVO=%%e"
set "MADRE=%~1"
for %%m in ("%~1") do set "HIJA=%%~nxm"
call set "MADRE=%%MADRE:\%HIJA%=%%"
for /f "tokens=1-6 delims=\" %%a in ('%REG% query "%MADRE%" %OPCION% 2^>nul') do (
  if /i "%%a"=="HKEY_LOCAL_MACHINE" if /i "%%d"=="%HIJA%" if "%%e"=="" set "ESTADO=no se lee"
  if /i "%%a"=="HKEY_LOCAL_MACHINE" if /i "%%e"=="%HIJA%" if "%%f"=="" set "ESTADO=no se lee"
)
if "%ESTADO%"=="no se lee" goto :eof
"%REG%" query "%MADRE%" %OPCION% >nul 2>&1
if not errorlevel 1 goto :eof
rem La clave madre (la del fabricante) tampoco se abre: no existe si SOFTWARE no la lista.
for %%m in ("%MADRE%") do set "ABUELA_HIJA=%%~nxm"
for /f "tokens=1-5 delims=\" %%a in ('%REG% query "HKLM\SOFTWARE" %OPCION% 2^>nul') do (
  if /i "%%a"=="HKEY_LOCAL_MACHINE" if /i "%%c"=="%ABUELA_HIJA%" if "%%d"=="" set "ESTADO=no se lee"
  if /i "%%a"=="HKEY_LOCAL_MACHINE" if /i "%%d"=="%ABUELA_HIJA%" if "%%e"=="" set "ESTADO=no se lee"
)
goto :eof

rem :version -- la version VERSION de la clave CLAVE en la vista VISTA.
:version
set /a VERSIONES+=1
set /a EN_CLAVE+=1
call :mostrar VERSION "    Versi%t_o%n " ", %TIPO%"
set "HOME_JAVA="
set "TIPO_VALOR="
set "LEIDA=1"
"%REG%" query "%CLAVE%\%VERSION%" %OPCION% >nul 2>&1
if errorlevel 1 set "LEIDA="
for /f "tokens=1,2,*" %%a in ('%REG% query "%CLAVE%\%VERSION%" /v JavaHome %OPCION% 2^>nul') do (
  if /i "%%a"=="JavaHome" set "TIPO_VALOR=%%b"
  if /i "%%a"=="JavaHome" set "HOME_JAVA=%%c"
)
if not defined LEIDA echo         no se ha podido leer esta clave
if defined LEIDA if not defined TIPO_VALOR echo         JavaHome: NO EXISTE
if defined HOME_JAVA call :mostrar HOME_JAVA "        JavaHome: "
if defined TIPO_VALOR if not defined HOME_JAVA echo         JavaHome: vac%t_i%o
if defined TIPO_VALOR echo         Tipo del valor: %TIPO_VALOR%
call :carpeta_java
set "JAVAW_DICE=est%t_a%"
if defined JAVAW_ESTA set "JAVAW_DICE=%JAVAW_ESTA%"
if defined JAVAW call :mostrar JAVAW "        javaw.exe %JAVAW_DICE%: "
if defined HOME_JAVA if not defined JAVAW echo         javaw.exe %JAVAW_DICE%
if defined TIPO_VALOR if not defined HOME_JAVA echo         javaw.exe %JAVAW_DICE%
call :decidir
goto :eof

rem :carpeta_java -- la carpeta del Java y su javaw.exe como los forma Vendro: JavaHome tal como
rem esta guardado (un valor REG_EXPAND_SZ no se expande), con jre detras en un JDK y bin\javaw.exe,
rem sin doblar una barra final. Ni JavaHome ni las rutas formadas pasan de 259 caracteres.
rem JAVAW_ESTA queda vacio si javaw.exe esta, o dice por que no sirve; RUTA_RARA, si no se puede
rem saber. Los valores solo pasan por variables de for: cmd no los vuelve a leer.
:carpeta_java
set "JAVAW="
set "JAVAW_ESTA="
set "RUTA_RARA="
set "RUNTIME="
if not defined TIPO_VALOR goto :eof
if /i "%TIPO_VALOR%"=="REG_BINARY" goto carpeta_binaria
if /i not "%TIPO_VALOR%"=="REG_SZ" if /i not "%TIPO_VALOR%"=="REG_EXPAND_SZ" set "RUTA_RARA=Vendro lee los bytes de un valor %TIPO_VALOR% como texto, y este informe no los ve"
if defined RUTA_RARA goto :eof
if not defined HOME_JAVA set "JAVAW_ESTA=no se busca, JavaHome est%t_a% vac%t_i%o"
if not defined HOME_JAVA goto :eof
call :cabe HOME_JAVA 259
if not defined CABE set "JAVAW_ESTA=no se busca, JavaHome pasa de 259 caracteres"
set "_FIN=%HOME_JAVA:~-1%"
set "_T=%_FIN:\=%"
set "BARRA=\"
if not defined _T set "BARRA="
call :copiar HOME_JAVA RUNTIME
if "%TIPO%"=="JDK" for /f "tokens=1* delims==" %%a in ('set HOME_JAVA') do if /i "%%a"=="HOME_JAVA" set "RUNTIME=%%b%BARRA%jre"
if "%TIPO%"=="JDK" set "BARRA=\"
for /f "tokens=1* delims==" %%a in ('set RUNTIME') do if /i "%%a"=="RUNTIME" set "JAVAW=%%b%BARRA%bin\javaw.exe"
if defined JAVAW_ESTA goto :eof
call :cabe JAVAW 259
if not defined CABE set "JAVAW_ESTA=no se busca, la ruta pasa de 259 caracteres"
if defined JAVAW_ESTA goto :eof
rem Una ruta relativa (un %%ProgramFiles%% sin expandir) se busca desde la carpeta de Vendro,
rem que es la carpeta actual de Vendro y la de este informe.
set "JAVAW_ESTA=NO EST%t_amay%"
for /f "tokens=1* delims==" %%a in ('set JAVAW') do if /i "%%a"=="JAVAW" if exist "%%b" set "JAVAW_ESTA="
goto :eof

rem :cabe VARIABLE LIMITE -- CABE es 1 si el valor no pasa de LIMITE caracteres: sus primeros
rem LIMITE son todo el valor. Se miden sin comillas, que no caben en una ruta.
:cabe
set "CABE="
call set "_SIN=%%%~1:"=%%"
call set "_PRIMEROS=%%_SIN:~0,%2%%"
for /f "tokens=1* delims==" %%a in ('set _SIN') do if /i "%%a"=="_SIN" for /f "tokens=1* delims==" %%c in ('set _PRIMEROS') do if /i "%%c"=="_PRIMEROS" if "%%b"=="%%d" set "CABE=1"
goto :eof

rem Un JavaHome REG_BINARY, que reg da en hexadecimal: Vendro lee sus bytes hasta el primer cero.
rem Con mas de 260 bytes, o 260 sin un cero, no lo lee; un cero al principio lo deja vacio. Si
rem no, la ruta son esos bytes, que este informe no convierte en texto.
:carpeta_binaria
set "_HEX=%HOME_JAVA%"
set /a _ULTIMO=0
if defined _HEX for %%p in (512 256 128 64 32 16 8 4 2 1) do call :binaria_largo %%p
set /a _BYTES=(_ULTIMO+1)/2
if not defined _HEX set /a _BYTES=0
set "RUTA_RARA=Vendro lee los bytes de un valor REG_BINARY como texto, y este informe no los convierte"
if %_BYTES% GTR 260 set "JAVAW_ESTA=no se busca, JavaHome pasa de 260 bytes"
if %_BYTES% GTR 260 set "RUTA_RARA="
if %_BYTES% GTR 260 goto :eof
set /a _I=0
:carpeta_binaria_par
if %_I% GEQ %_BYTES% goto carpeta_binaria_sin_cero
set /a _DIGITO=_I*2
call set "_PAR=%%_HEX:~%_DIGITO%,2%%"
if "%_PAR%"=="00" goto carpeta_binaria_cero
set /a _I+=1
goto carpeta_binaria_par
:carpeta_binaria_cero
if "%_I%"=="0" set "JAVAW_ESTA=no se busca, JavaHome est%t_a% vac%t_i%o"
if "%_I%"=="0" set "RUTA_RARA="
goto :eof
:carpeta_binaria_sin_cero
if "%_BYTES%"=="260" set "JAVAW_ESTA=no se busca, JavaHome llena sus 260 bytes sin un cero final"
if "%_BYTES%"=="260" set "RUTA_RARA="
goto :eof
:binaria_largo
set /a _PRUEBA=_ULTIMO+%1
call set "_PRIMEROS=%%_HEX:~0,%_PRUEBA%%%"
if not "%_PRIMEROS%"=="%_HEX%" set /a _ULTIMO=_PRUEBA
goto :eof

rem :copiar ORIGEN DESTINO -- copia una variable que exista sin que cmd vuelva a leer su valor.
:copiar
set "%~2="
for /f "tokens=1* delims==" %%a in ('set %~1') do if /i "%%a"=="%~1" set "%~2=%%b"
goto :eof

rem :misma -- MISMA es 1 si javaw.exe es el de la version que usara Vendro.
:misma
set "MISMA="
if not defined JAVAW goto :eof
if not defined ELEGIDA_JAVAW goto :eof
for /f "tokens=1* delims==" %%a in ('set JAVAW') do if /i "%%a"=="JAVAW" for /f "tokens=1* delims==" %%c in ('set ELEGIDA_JAVAW') do if /i "%%c"=="ELEGIDA_JAVAW" if /i "%%b"=="%%d" set "MISMA=1"
goto :eof

rem :decidir -- lo que hace Vendro con la version, segun lo aceptado hasta aqui.
:decidir
call :instalacion
if not defined MIRA echo         Vendro no la mira.
if not defined MIRA goto :eof
set "_X=%VERSION:"=%"
set "_Y=%MINIMA%"
call :comparar
if "%ORDEN%"=="duda" goto decidir_duda
if "%ORDEN%"=="menor" echo         Vendro la descarta: es menor que %MINIMA%, la versi%t_o%n m%t_i%nima.
if "%ORDEN%"=="menor" goto :eof
if not defined MEJOR goto decidir_probar
set "_Y=%MEJOR%"
call :comparar
if "%ORDEN%"=="duda" goto decidir_duda
if "%ORDEN%"=="mayor" goto decidir_probar
call :mostrar MEJOR "        Vendro la descarta: no es mayor que " ", aceptada antes."
goto decidir_misma
:decidir_probar
set "MALO_ANTES=%MALO%"
rem Un nombre de 128 caracteres o mas, o una ruta de clave de mas de 259, no le sirven.
call :cabe VERSION 127
set "RUTA_CLAVE=SOFTWARE\%SUB%\%VERSION%"
if defined CABE call :cabe RUTA_CLAVE 259
if not defined CABE set "MALO=1"
if not defined CABE echo         Vendro la descarta: su nombre, o la ruta de su clave, no cabe donde Vendro lo guarda.
if not defined CABE goto :eof
if not defined LEIDA set "MALO=1"
if not defined LEIDA if not defined DUDA set "DUDA=no se ha podido leer la versi%t_o%n %VERSION% de %CLAVE%, vista de %VISTA% bits"
if not defined LEIDA echo         Vendro la probar%t_i%a, pero este informe no ha podido leer la clave: no se sabe si le sirve.
if not defined LEIDA goto :eof
if defined RUTA_RARA echo         Vendro la probar%t_i%a, pero no se sabe si le sirve: %RUTA_RARA%.
if defined RUTA_RARA if not defined DUDA set "DUDA=la versi%t_o%n %VERSION% de %CLAVE%, vista de %VISTA% bits, tiene un JavaHome de tipo %TIPO_VALOR%"
if defined RUTA_RARA goto :eof
set "MALO=1"
if not defined TIPO_VALOR echo         Vendro la descarta: no tiene JavaHome.
if not defined TIPO_VALOR goto decidir_misma
if not defined JAVAW_ESTA goto decidir_acepta
echo         Vendro la descarta: no tiene javaw.exe donde lo busca.
goto decidir_misma
:decidir_acepta
set "MALO=%MALO_ANTES%"
set "MEJOR=%VERSION%"
set "MEJOR_BITS=%VISTA%"
set "MEJOR_CLAVE=%CLAVE%"
call :copiar JAVAW MEJOR_JAVAW
if "%VERSION%"=="%ELEGIDA%" if "%VISTA%"=="%ELEGIDA_BITS%" echo         Vendro la acepta, y es la que usar%t_a%.
if "%VERSION%"=="%ELEGIDA%" if "%VISTA%"=="%ELEGIDA_BITS%" goto :eof
call :mostrar ELEGIDA "        Vendro la acepta, pero despu%t_e%s encuentra " ", mayor, y usa esa."
goto decidir_misma
:decidir_duda
if not defined DUDA set "DUDA=el nombre de la versi%t_o%n %VERSION% lleva caracteres que este informe no sabe ordenar"
echo         No se sabe qu%t_e% hace Vendro con ella: su nombre lleva caracteres que este informe no sabe ordenar.
goto :eof
:decidir_misma
call :misma
if defined MISMA echo         Es la misma instalaci%t_o%n que la que usar%t_a%, la misma carpeta, con otro nombre de versi%t_o%n.
goto :eof

rem :instalacion -- cuenta las carpetas de Java distintas y las que tienen javaw.exe.
:instalacion
if not defined JAVAW goto :eof
if not defined JAVAW_ESTA set /a UTILES+=1
set "YA_VISTA="
if not "%INSTALACIONES%"=="0" for /f "tokens=1* delims==" %%a in ('set JAVAW') do if /i "%%a"=="JAVAW" for /f "tokens=1* delims==" %%c in ('set CARPETA_JAVA_') do if /i "%%b"=="%%d" set "YA_VISTA=1"
if defined YA_VISTA goto :eof
set /a INSTALACIONES+=1
call :copiar JAVAW CARPETA_JAVA_%INSTALACIONES%
goto :eof

rem :comparar -- ORDEN es menor, igual o mayor segun _X frente a _Y en el orden de Vendro:
rem byte a byte, y un texto que acaba donde el otro sigue es el menor. duda si el primer
rem caracter distinto no es una cifra, una letra sin tilde ni uno de - . _ + o el espacio.
:comparar
set "ORDEN="
set /a _I=0
:comparar_sigue
set "_CX="
set "_CY="
call set "_CX=%%_X:~%_I%,1%%"
call set "_CY=%%_Y:~%_I%,1%%"
if not defined _CX if not defined _CY set "ORDEN=igual"
if not defined _CX if defined _CY set "ORDEN=menor"
if defined _CX if not defined _CY set "ORDEN=mayor"
if defined ORDEN goto :eof
if "%_CX%"=="%_CY%" set /a _I+=1 & goto comparar_sigue
set "_C=%_CX%"
call :codigo
set "_NX=%_N%"
set "_C=%_CY%"
call :codigo
set "_NY=%_N%"
set "ORDEN=duda"
if not defined _NX goto :eof
if not defined _NY goto :eof
set "ORDEN=mayor"
if %_NX% LSS %_NY% set "ORDEN=menor"
goto :eof

rem :codigo -- _N es el byte del caracter _C, o nada si no es de los que se saben ordenar.
:codigo
set "_N="
if "%_C%"==" " set "_N=32"
if "%_C%"=="+" set "_N=43"
if "%_C%"=="-" set "_N=45"
if "%_C%"=="." set "_N=46"
if "%_C%"=="_" set "_N=95"
if defined _N goto :eof
set /a _K=48
for %%c in (0 1 2 3 4 5 6 7 8 9) do call :codigo_es %%c
if defined _N goto :eof
set /a _K=65
for %%c in (A B C D E F G H I J K L M N O P Q R S T U V W X Y Z) do call :codigo_es %%c
if defined _N goto :eof
set /a _K=97
for %%c in (a b c d e f g h i j k l m n o p q r s t u v w x y z) do call :codigo_es %%c
goto :eof
:codigo_es
if "%_C%"=="%1" set "_N=%_K%"
set /a _K+=1
goto :eof

rem :otra "SUBCLAVE DE SOFTWARE" VISTA -- una clave que Vendro no lee: solo si existe.
:otra
set "OPCION="
if "%BITS%"=="64" set "OPCION=/reg:%~2"
"%REG%" query "HKLM\SOFTWARE\%~1" %OPCION% >nul 2>&1
if errorlevel 1 goto :eof
set /a OTRAS+=1
if "%BITS%"=="32" echo   HKLM\SOFTWARE\%~1
if "%BITS%"=="64" echo   HKLM\SOFTWARE\%~1   [vista de %~2 bits]
"%REG%" query "HKLM\SOFTWARE\%~1" /s %OPCION%
goto :eof


rem ---------------------------------------------------------------------------------------
rem El veredicto, de la primera pasada.

:veredicto
if defined DUDA goto veredicto_duda
if not defined ELEGIDA goto veredicto_ninguno
call :mostrar ELEGIDA "Vendro usar%t_a% Java " ", de %ELEGIDA_BITS% bits."
call :mostrar ELEGIDA_CLAVE "  De la clave " ", vista de %ELEGIDA_BITS% bits."
call :mostrar ELEGIDA_JAVAW "  Ejecutar%t_a% "
call :swt
goto :eof
:veredicto_ninguno
echo Vendro no encontrar%t_a% ning%t_u%n Java que le sirva. Mostrar%t_a% el mensaje
if "%MALO%"=="0" echo   %t_comi%Versi%t_o%n de Java no v%t_a%lida 1.7.0%t_comd%
if "%MALO%"=="1" echo   %t_comi%Versi%t_o%n de Java no v%t_a%lida 1.7.0%t_comd% y, en otra l%t_i%nea, %t_comi%Error al iniciar la aplicaci%t_o%n%t_comd%
if "%MALO%"=="1" echo porque hay versiones desde 1.7.0 registradas que no le sirven; arriba se dice por qu%t_e%.
echo y abrir%t_a% la p%t_a%gina de descarga de Java.
goto :eof
:veredicto_duda
echo No se puede saber con seguridad qu%t_e% Java usar%t_a% Vendro:
if defined DUDA call :mostrar DUDA "  " "."
if defined NO_LEE echo   Que reg no lea el Registro de Windows no quiere decir que no haya Java.
if defined NO_LEE_32 call :mostrar NO_LEE_32 "  Lo que dijo reg: "
if defined NO_LEE_64 if not defined NO_LEE_32 call :mostrar NO_LEE_64 "  Lo que dijo reg en la vista de 64 bits: "
if defined ELEGIDA call :mostrar ELEGIDA "Si eso no le sirve a Vendro, usar%t_a% Java " ", de %ELEGIDA_BITS% bits."
if defined ELEGIDA call :mostrar ELEGIDA_JAVAW "  "
if not defined ELEGIDA if not defined NO_LEE echo Si eso no le sirve a Vendro, no encontrar%t_a% ning%t_u%n Java.
goto :eof

rem :swt -- la biblioteca SWT que corresponde al Java elegido.
:swt
set "SWT=swt\org.eclipse.swt.win32.win32.x86-4.4.jar"
if "%ELEGIDA_BITS%"=="64" set "SWT=swt\org.eclipse.swt.win32.win32.x86_64-4.4.jar"
if exist "%SWT%" echo   Con la biblioteca SWT %SWT%, presente.
if not exist "%SWT%" echo   Con la biblioteca SWT %SWT%, que NO EST%t_amay%: la aplicaci%t_o%n no podr%t_a% abrir su ventana.
goto :eof


rem ---------------------------------------------------------------------------------------
rem El fichero de opciones, con su marca de orden de bytes y sus bytes como los lee Vendro.

:opciones
set "FICHEROS=0"
for %%f in (*.pmr.ini) do (
  set "FICHERO=%%f"
  set "TAMANO=%%~zf"
  call :opcion
)
if "%FICHEROS%"=="0" echo No hay fichero de opciones Vendro.pmr.ini: Java arranca solo con -Dfile.encoding=UTF-8.
for %%f in (*.pmr.ini.txt) do (
  set "FICHERO=%%f"
  call :mostrar FICHERO "ATENCI%t_omay%N: hay un " ", que Vendro no lee."
  echo   Windows oculta las extensiones conocidas: el Bloc de notas lo ha guardado con .txt al final.
  echo   C%t_a%mbiele el nombre en el Explorador, con Vista, Extensiones de nombre de archivo activadas.
)
goto :eof

rem :opcion -- FICHERO, de TAMANO bytes.
:opcion
set /a FICHEROS+=1
if not "%FICHEROS%"=="1" echo.
call :plural %TAMANO% "byte" "bytes"
call :mostrar FICHERO "Fichero: "
echo Tama%t_n%o: %TAMANO% %PALABRA%.
rem Solo se miran los tres primeros caracteres, de uno en uno: sin comillas ni & que cmd lea.
set "LINEA="
set /p LINEA=<"%FICHERO%"
set "MARCA=ninguna"
set "_C1="
set "_C2="
set "_C3="
if defined LINEA set "_C1=%LINEA:~0,1%"
if defined LINEA set "_C2=%LINEA:~1,1%"
if defined LINEA set "_C3=%LINEA:~2,1%"
call :empieza_por b_ff b_fe
if defined EMPIEZA set "MARCA=UTF-16 LE"
call :empieza_por b_fe b_ff
if defined EMPIEZA set "MARCA=UTF-16 BE"
call :empieza_por b_ef b_bb b_bf
if defined EMPIEZA set "MARCA=UTF-8"
if "%MARCA%"=="UTF-16 LE" echo Codificaci%t_o%n: UTF-16 LE, empieza por los bytes FF FE.
if "%MARCA%"=="UTF-16 BE" echo Codificaci%t_o%n: UTF-16 BE, empieza por los bytes FE FF.
if "%MARCA%"=="UTF-16 LE" goto opcion_utf16
if "%MARCA%"=="UTF-16 BE" goto opcion_utf16
if "%MARCA%"=="UTF-8" echo Codificaci%t_o%n: UTF-8 con marca, empieza por los bytes EF BB BF. Vendro salta la marca,
if "%MARCA%"=="UTF-8" echo que abajo se ve como sus tres caracteres %b_ef%%b_bb%%b_bf%, y lee el resto byte a byte.
if "%MARCA%"=="ninguna" echo Codificaci%t_o%n: sin marca de orden de bytes; Vendro lo lee byte a byte.
if %TAMANO% GTR 31722 echo Vendro solo lee sus primeros 31722 bytes, y de ellos las l%t_i%neas enteras.
echo Contenido, byte a byte en la p%t_a%gina de c%t_o%digos 1252, como lo lee Vendro:
echo ----------
type "%FICHERO%"
echo.
echo ----------
goto :eof
:opcion_utf16
echo Vendro no toma NINGUNA opci%t_o%n de un fichero UTF-16: Java arranca solo con las suyas.
echo Gu%t_a%rdelo en el Bloc de notas como %t_comi%ANSI%t_comd%. No se muestra su contenido: type lo convertir%t_i%a
echo y parecer%t_i%a bueno.
goto :eof

rem :empieza_por V1 V2 [V3] -- EMPIEZA es 1 si _C1, _C2 (y _C3) son los caracteres de esas
rem variables. Cada uno se compara quitandolo de si mismo: sin comillas que cmd lea.
:empieza_por
set "EMPIEZA=1"
call :es_caracter _C1 %1
call :es_caracter _C2 %2
if not "%~3"=="" call :es_caracter _C3 %3
goto :eof
:es_caracter
if not defined %1 set "EMPIEZA="
if not defined %1 goto :eof
call set "_M=%%%2%%"
call set "_T=%%%1:%_M%=%%"
if defined _T set "EMPIEZA="
goto :eof


rem ---------------------------------------------------------------------------------------
rem :valor "CLAVE" -- el valor Pelmorin de una clave del Registro de Windows, o que no lo tiene.
:valor
set "VALOR_VISTO="
for /f "tokens=1,2,*" %%a in ('%REG% query "%~1" /v Pelmorin 2^>nul') do (
  if /i "%%a"=="Pelmorin" set "VALOR_VISTO=1"
  if /i "%%a"=="Pelmorin" echo:  %%a = %%c
)
if not defined VALOR_VISTO echo   no definida
goto :eof


rem ---------------------------------------------------------------------------------------
rem :log -- el log desde la linea Version: del ultimo arranque. findstr da su numero sin
rem recorrer el log en cmd; donde no hay findstr (o no responde) se recorre con for, contando
rem solo las lineas Version:.

:log
if not exist "pelmorin.log" echo No hay pelmorin.log en la carpeta: el log de depuraci%t_o%n no se ha activado aqu%t_i%.
if not exist "pelmorin.log" goto :eof
for %%f in ("pelmorin.log") do set "TAMANO=%%~zf"
call :plural %TAMANO% "byte" "bytes"
echo pelmorin.log, %TAMANO% %PALABRA%.
if %TAMANO% GTR 1048576 echo Es grande: Vendro nunca lo recorta. B%t_o%rrelo cuando ya no haga falta.
set "DESDE="
for /f "delims=:" %%n in ('%FINDSTR% /n /b /c:"Version:" "pelmorin.log" 2^>nul') do set "DESDE=%%n"
if defined DESDE goto log_findstr
set "ARRANQUES=0"
for /f "usebackq tokens=1 delims=:" %%a in ("pelmorin.log") do (
  set "L_Version="
  set "L_%%a=1"
  if defined L_Version set /a ARRANQUES+=1
)
if "%ARRANQUES%"=="0" echo No tiene ninguna l%t_i%nea Version: no es un log de Vendro, o est%t_a% da%t_n%ado.
if "%ARRANQUES%"=="0" goto :eof
call :plural %ARRANQUES% "arranque" "arranques"
echo Tiene %ARRANQUES% %PALABRA%. El %t_u%ltimo, sin sus l%t_i%neas vac%t_i%as:
echo ----------
set "QUEDAN=%ARRANQUES%"
set "MOSTRAR="
rem Sin if sobre el texto de la linea (puede llevar comillas): su etiqueta se vuelve el nombre
rem de una variable L_..., y solo la de Version: cuenta.
for /f "usebackq tokens=1* delims=:" %%a in ("pelmorin.log") do (
  set "L_Version="
  set "L_%%a=1"
  set "L_RESTO=%%b"
  if defined L_Version call :log_arranque
  if defined MOSTRAR if defined L_RESTO echo:%%a:%%b
  if defined MOSTRAR if not defined L_RESTO echo:%%a
)
for /f "delims==" %%v in ('set L_ 2^>nul') do set "%%v="
echo ----------
goto :eof
:log_findstr
set /a SALTAR=DESDE-1
echo El %t_u%ltimo arranque, desde su l%t_i%nea Version: (la %DESDE% del fichero):
echo ----------
if "%SALTAR%"=="0" for /f "tokens=1* delims=:" %%a in ('%FINDSTR% /n "^" "pelmorin.log"') do echo:%%b
if not "%SALTAR%"=="0" for /f "skip=%SALTAR% tokens=1* delims=:" %%a in ('%FINDSTR% /n "^" "pelmorin.log"') do echo:%%b
echo ----------
goto :eof
:log_arranque
set /a QUEDAN-=1
if "%QUEDAN%"=="0" set "MOSTRAR=1"
goto :eof


rem ---------------------------------------------------------------------------------------
rem Los programas que importan, y las ventanas con Vendro en el titulo, de cualquier programa:
rem Vendro solo trae al frente la de javaw.exe.

:programas
set "PROGRAMAS=0"
set "VENDRO_PID="
set "JAVAW_PID="
set "WYUPDATE_PID="
for /f "tokens=1,2 delims=," %%a in ('tasklist /nh /fo csv 2^>nul') do call :programa "%%~a" "%%~b"
call :en_marcha Vendro.exe "%VENDRO_PID%"
call :en_marcha javaw.exe "%JAVAW_PID%"
call :en_marcha wyUpdate.exe "%WYUPDATE_PID%"
if "%PROGRAMAS%"=="0" goto :eof
echo.
echo Programas con Vendro en el nombre o en el t%t_i%tulo de su ventana (tasklist /v; nombre, n%t_u%mero
echo de proceso, sesi%t_o%n, memoria, estado, usuario, tiempo y t%t_i%tulo de la ventana principal):
set "VENTANAS=0"
for /f "delims=" %%l in ('tasklist /v /nh /fo csv 2^>nul ^| %FINDSTR% /c:"Vendro"') do (
  set /a VENTANAS+=1
  echo:  %%l
)
if "%VENTANAS%"=="0" echo   ninguno
goto :eof

rem :programa "NOMBRE" "PID" -- una linea de tasklist.
:programa
set /a PROGRAMAS+=1
if /i "%~1"=="Vendro.exe" set "VENDRO_PID=%VENDRO_PID% %~2"
if /i "%~1"=="javaw.exe" set "JAVAW_PID=%JAVAW_PID% %~2"
if /i "%~1"=="wyUpdate.exe" set "WYUPDATE_PID=%WYUPDATE_PID% %~2"
goto :eof

rem :en_marcha NOMBRE "PIDS"
:en_marcha
if "%PROGRAMAS%"=="0" echo %1: no se sabe; tasklist no ha dado la lista de programas
if "%PROGRAMAS%"=="0" goto :eof
if "%~2"=="" echo %1: no est%t_a% en marcha
if not "%~2"=="" echo %1: en marcha, PID%~2
goto :eof

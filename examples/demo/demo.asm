;==========================================================================
; demo.asm - demonstration firmware for the 68HC11 VHF transceiver board
;
; What it does
;   - reads the keypad (A/D channels 0-5) and the signal level (channel 6)
;   - shows the frequency, the signal level or the volume on the four
;     8-segment digits of the two I2C display drivers ($70 and $76), and
;     drives the four LEDs through bit 7 of the digit bytes
;   - keeps its configuration in the 24C16 EEPROM ($A0..$AE) and a table of
;     memory channels there too
;   - loads the frequency synthesiser (registers A, M and R) bit by bit:
;     clock on port D bit 5, data on port A bit 3, load enabled by bit 7 of
;     the PCF8574 latch ($40)
;   - sounds a 1750 Hz tone burst through the tone generator
;   - answers the panel's serial commands (LecE2P, EcrE2P, Ecr ram,
;     Rest Cfg, Sauv Cfg)
;   - counts a periodic tick in the output compare 1 interrupt
;
; Memory map
;   $0000-$007F  variables (see the RAM map below), tone divisor at $0017
;   $0080-$00FF  stack (grows down from $00FF)
;   $0200-$0FFF  user RAM the "Ecr ram" command may write
;   $1000-$103F  68HC11 registers
;   $E000-       program, then its tables
;   $FFD6-$FFFF  interrupt and reset vectors
;
; EEPROM map (24C16, 2 KiB)
;   $000-$00B    configuration, copied to cfg at start-up
;   $200-        memory channels: one divider word each, a zero word ends
;                the list
;==========================================================================

; Flowchart descriptions of the macros below and of two routines whose
; argument is passed in A.
;!macros
;delay:1:attendre(%s ms)
;reply:12:repondre(%s, %s)
;on_cmd:1L:commande = %s ?
;pcf_on:1:pcf = pcf or %s
;pcf_off:1:pcf = pcf sans %s
     ;!endmacro
;!call sci_tx:1:envoyer(A)
;!call i2c_send:1:i2c_envoyer(A)

;--------------------------------------------------------------------------
; Build options
;--------------------------------------------------------------------------
; 1 for the UHF version of the board (first IF 45 MHz, oscillator below
; the channel), 0 for VHF (first IF 21.4 MHz, oscillator above).
UHF     equ     0
; 1 to send the identification text over the serial link at start-up.
BANNER  equ     1

;--------------------------------------------------------------------------
; 68HC11 registers, as offsets from the register block (indexed access)
;--------------------------------------------------------------------------
REGBAS  equ     $1000           ; register block
PORTA   equ     $00             ; port A: I2C, synthesiser data, inputs
PORTD   equ     $08             ; port D: synthesiser clock on bit 5
DDRD    equ     $09
TCNT    equ     $0E             ; free-running timer
TOC1    equ     $16             ; output compare 1: the periodic tick
TOC4    equ     $1A             ; output compare 4: the tone generator
TMSK1   equ     $22
TFLG1   equ     $23
PACTL   equ     $26
BAUD    equ     $2B
SCCR1   equ     $2C
SCCR2   equ     $2D
SCSR    equ     $2E             ; serial status
SCDR    equ     $2F             ; serial data
ADCTL   equ     $30             ; A/D control
ADR1    equ     $31             ; A/D results 1-4
ADR2    equ     $32
ADR3    equ     $33
ADR4    equ     $34
OPTION  equ     $39

; Port A bits
SDA     equ     $80             ; I2C data
SCL     equ     $40             ; I2C clock
RINGER  equ     $20             ; ringer output
STOP_OUT equ    $10             ; stop output
SYN_DATA equ    $08             ; synthesiser data
BUSY    equ     $04             ; channel busy input
ONOFF   equ     $02             ; on/off key input, 0 while held
; Port D bits
SYN_CLK equ     $20             ; synthesiser clock
; Serial status bits
TDRE    equ     $80             ; transmit register empty
RDRF    equ     $20             ; receive register full
; A/D control: four conversions; bit 2 selects channels 4-7
ADC_LOW equ     $10
ADC_HIGH equ    $14
; Timer
OC1F    equ     $80
TICK_PERIOD equ 20000           ; timer counts between two ticks

;--------------------------------------------------------------------------
; Board devices
;--------------------------------------------------------------------------
PCF8574 equ     $40             ; I2C address of the output latch
DISP_LEFT equ   $70             ; display driver: digits 0 and 1
DISP_RIGHT equ  $76             ; display driver: digits 2 and 3
EEPROM  equ     $A0             ; 24C16; bits 3-1 carry the block number
; PCF8574 latch bits
PCF_SYNEN equ   $80             ; synthesiser load enable
PCF_TX  equ     $08             ; transmit
PCF_AUDIO equ   $04             ; audio amplifier on
; LEDs, one per digit (bit 7 of the digit byte)
LED_POWER equ   $01             ; digit 0: on while running
LED_BUSY equ    $02             ; digit 1: channel busy
LED_SQL equ     $04             ; digit 2: squelch open
LED_TONE equ    $08             ; digit 3: tone or transmission

; Synthesiser: N = M * 64 + A, one step is 12.5 kHz
R_DIV   equ     1024            ; reference divider (11 bits)
IF_VHF  equ     1712            ; 21.4 MHz in steps
IF_UHF  equ     3600            ; 45 MHz in steps
STEPS_MHZ equ   80              ; steps in one MHz

; Tone generator: frequency = 1230250 / divisor
TONE_1750 equ   703
TONE_TICKS equ  3               ; ticks the tone LED stays on

; Keypad: A/D levels and key codes
KEY_HIGH equ    $C0             ; above: the upper key of a pair
KEY_LOW equ     $40             ; below: the lower key of a pair
KEY5_PTT equ    $50             ; channel 5 thresholds
KEY5_HASH equ   $96
KEY5_STAR equ   $DC
KEY_PTT equ     10
KEY_COUNT equ   13
NO_KEY  equ     $FF

; Serial commands of the board panel and their answers
CMD_WRRAM equ   $A4             ; "Ecr ram"  A4 hh ll nn data...
CMD_WRE2P equ   $A5             ; "EcrE2P"   A5 hh ll nn data...
CMD_RDE2P equ   $A6             ; "LecE2P"   A6 hh ll nn
CMD_RESTORE equ $A8             ; "Rest Cfg" A8
CMD_SAVE equ    $A9             ; "Sauv Cfg" A9
ST_OK   equ     $00
ST_BAD  equ     $01
NAK     equ     $3F             ; answer to an unknown command
RXMAX   equ     24              ; longest message kept
USER_RAM equ    $0200           ; "Ecr ram" may write from here...
USER_END equ    $1000           ; ...up to the register block

; Configuration block (EEPROM $000, RAM cfg)
CFG_E2P equ     $000
CFG_SIZE equ    12
CFG_VOL equ     0               ; volume 0-9
CFG_N   equ     1               ; channel divider, 2 bytes
CFG_SQL equ     3               ; squelch threshold / 8
CFG_MEM equ     4               ; current memory channel
MEMTAB  equ     $200            ; memory channels in the EEPROM
MEM_SLOTS equ   64

; Display: entries of seg_table past the digits
SEG_S   equ     10
SEG_U   equ     11
SEG_O   equ     12
SEG_L   equ     13
SEG_DASH equ    14

MS_LOOPS equ    298             ; tempo loop turns in one millisecond
EE_WRITE_MS equ 5               ; EEPROM write time
STACK   equ     $00FF

;--------------------------------------------------------------------------
; RAM map
;--------------------------------------------------------------------------
        org     $0000
ticks   ds      1               ; incremented by the periodic interrupt
lasttick ds     1               ; tick seen by the main loop
key     ds      1               ; key held, NO_KEY when none
dmode   ds      1               ; display: 0 frequency, 1 level, 2 volume
txon    ds      1               ; 1 while transmitting
pcfimg  ds      1               ; copy of the PCF8574 latch
leds    ds      1               ; LED bits, LED_xxx
tonetime ds     1               ; ticks left with the tone LED on
sybits  ds      1               ; bits left to send to the synthesiser
i2cnak  ds      1               ; bytes the I2C bus did not acknowledge
synword ds      2               ; divider being loaded
eeaddr  ds      2               ; EEPROM address of a transfer
eecount ds      1               ; bytes left in a transfer
rxcount ds      1               ; bytes in rxbuf
dstptr  ds      2               ; destination of "Ecr ram"
digits  ds      4               ; segment bytes, digits 0 to 3
numtmp  ds      1
        org     $0017           ; the tone generator reads its divisor here
tonediv ds      2
adval   ds      7               ; A/D channels 0 to 6
cfg     ds      CFG_SIZE        ; configuration
rxbuf   ds      RXMAX           ; last serial message
eebuf   ds      16              ; EEPROM transfer buffer

;--------------------------------------------------------------------------
; Macros
;--------------------------------------------------------------------------
; delay MS: waits about MS milliseconds (1 to 255).
delay   macro
        ldA     #\1
        call    tempo
        endm

; reply CMD,STATUS: answers a serial command with two bytes.
reply   macro
        ldA     #\1
        call    sci_tx
        ldA     #\2
        call    sci_tx
        endm

; on_cmd CODE,HANDLER: goes to HANDLER when A holds the command CODE.
on_cmd  macro
        cmpA    #\1
        bne     *+5             ; not this one: skip the jump
        jmp     \2
        endm

; pcf_on BITS, pcf_off BITS: sets or clears bits of the PCF8574 latch.
pcf_on  macro
        ldA     pcfimg
        oraA    #\1
        call    pcf_write
        endm

pcf_off macro
        ldA     pcfimg
        andA    #~(\1)
        call    pcf_write
        endm

;==========================================================================
; Start-up
;==========================================================================
        org     $E000
debprog_
        ldS     #STACK
        ldX     #REGBAS
        ldY     #REGBAS
        ldA     #$80
        stA     PACTL,X         ; PA7 drives the I2C data line
        ldA     #SYN_CLK
        stA     DDRD,X          ; PD5 drives the synthesiser clock
        ldA     #$30
        stA     BAUD,X          ; 9600 baud
        clr     SCCR1,X
        ldA     #$0C
        stA     SCCR2,X         ; transmitter and receiver on
        ldA     #$90
        stA     OPTION,X        ; A/D converter powered
; periodic tick on output compare 1
        ldD     TCNT,X
        addD    #TICK_PERIOD
        stD     TOC1,X
        ldA     #OC1F
        stA     TFLG1,X
        stA     TMSK1,X
; variables
        ldA     #NO_KEY
        stA     key
        clr     dmode
        clr     txon
        clr     tonetime
        clr     i2cnak
        ldA     #LED_POWER
        stA     leds
        bset    PORTA,Y,#SDA+SCL        ; I2C bus idle: both lines high
        if      BANNER
        call    send_banner
        endif
        call    load_config
        clrA                    ; receive, audio off, load input off
        call    pcf_write
        call    retune
        call    disp_refresh
        cli                     ; let the periodic tick run

;--------------------------------------------------------------------------
; Main loop: keypad, serial link, then once per tick squelch and display
;--------------------------------------------------------------------------
main_loop
        callr   adc_read
        callr   key_decode
        cmpA    key
        beq     @ml_serial      ; same key as before: nothing new
        callr   key_change
@ml_serial
        call    sci_poll
        ldA     ticks
        cmpA    lasttick
        beq     main_loop
        stA     lasttick
        call    squelch_check
        call    port_outputs
        call    disp_refresh
        jr      main_loop

;==========================================================================
; Keypad
;==========================================================================
; adc_read: the seven A/D channels into adval.
adc_read
        ldX     #REGBAS
        ldA     #ADC_LOW        ; channels 0-3
        stA     ADCTL,X
        ldA     ADR1,X
        stA     adval
        ldA     ADR2,X
        stA     adval+1
        ldA     ADR3,X
        stA     adval+2
        ldA     ADR4,X
        stA     adval+3
        ldA     #ADC_HIGH       ; channels 4-7
        stA     ADCTL,X
        ldA     ADR1,X
        stA     adval+4
        ldA     ADR2,X
        stA     adval+5
        ldA     ADR3,X          ; channel 6: signal level
        stA     adval+6
        ret

; key_decode: A = code of the key held, NO_KEY when none.
; Channels 0-4 carry two keys each: one pulls the input up, the other
; down. Channel 5 carries three keys on a divider.
key_decode
        ldX     #adval
        ldB     #8              ; code of channel 0's upper key
@kd_chan
        ldA     $00,X
        cmpA    #KEY_HIGH
        bcc     @kd_found       ; pulled up
        cmpA    #KEY_LOW
        bcs     @kd_lower       ; pulled down
        incX
        subB    #2              ; next channel's codes
        bcc     @kd_chan
        ldA     adval+5
        ldB     #KEY_PTT
        cmpA    #KEY5_PTT
        bcs     @kd_found
        incB
        cmpA    #KEY5_HASH
        bcs     @kd_found
        incB
        cmpA    #KEY5_STAR
        bcs     @kd_found
        ldA     #NO_KEY
        ret
@kd_lower
        incB                    ; the lower key's code is one more
@kd_found
        tBA
        ret

; key_change: A = new key. Ends a transmission when PTT is released and
; runs the new key's action.
key_change
        ldB     key
        stA     key
        cmpB    #KEY_PTT
        bne     @kc_new
        pushA
        call    ptt_off
        popA
@kc_new
        cmpA    #NO_KEY
        beq     @kc_done
        callr   key_action
@kc_done
        ret

; key_action: runs the routine of key A from key_table.
key_action
        cmpA    #KEY_COUNT
        bcc     @ka_done
        tAB
        clrA
        lslD                    ; two bytes per entry
        addD    #key_table
        xgDX
        ldX     $00,X
        call    $00,X
@ka_done
        ret

; "C-": previous memory channel
key_chan_dn
        ldA     cfg+CFG_MEM
        beq     @kcd_done
        decA
        stA     cfg+CFG_MEM
        call    mem_recall
@kcd_done
        ret

; "C+": next memory channel
key_chan_up
        ldA     cfg+CFG_MEM
        incA
        cmpA    #MEM_SLOTS
        bcs     @kcu_set
        clrA
@kcu_set
        stA     cfg+CFG_MEM
        call    mem_recall
        ret

; "F-" and "F+": one 12.5 kHz step
key_freq_dn
        ldD     cfg+CFG_N
        subD    #1
        jr      freq_set
key_freq_up
        ldD     cfg+CFG_N
        addD    #1
freq_set
        stD     cfg+CFG_N
        clr     dmode
        call    retune
        ret

; "-" and "+": volume 0 to 9, shown while it changes
key_vol_dn
        ldA     cfg+CFG_VOL
        beq     vol_show
        decA
        jr      vol_set
key_vol_up
        ldA     cfg+CFG_VOL
        cmpA    #9
        bcc     vol_show
        incA
vol_set
        stA     cfg+CFG_VOL
vol_show
        ldA     #2
        stA     dmode
        ret

; "1700": tone burst
key_tone
        ldD     #TONE_1750
        stD     tonediv         ; 1230250 / 703 = 1750 Hz
        ldX     #REGBAS
        ldD     TCNT,X
        addD    #TICK_PERIOD
        stD     TOC4,X          ; start the tone
        ldA     #TONE_TICKS
        stA     tonetime
        ret

; "Memo": stores the frequency in the current memory channel
key_memo
        call    mem_address
        ldD     cfg+CFG_N
        stD     eebuf
        ldA     #2
        stA     eecount
        ldX     #eebuf
        call    ee_write
        ret

; "Menu": next display mode
key_menu
        ldA     dmode
        incA
        cmpA    #3
        bcs     @km_set
        clrA
@km_set
        stA     dmode
        ret

; "PTT": transmit while the key is held
key_ptt
        ldA     #1
        stA     txon
        pcf_on  PCF_TX
        call    retune
        ret

; PTT released: back to receive
ptt_off
        clr     txon
        pcf_off PCF_TX
        call    retune
        ret

; "#" saves the configuration, "*" reloads it
key_save
        call    save_config
        ret
key_restore
        call    load_config
        call    retune
        ret

; code 1 has no key
key_none
        ret

;==========================================================================
; Memory channels and configuration
;==========================================================================
; mem_address: eeaddr = EEPROM address of the current memory channel.
mem_address
        ldB     cfg+CFG_MEM
        clrA
        lslD
        addD    #MEMTAB
        stD     eeaddr
        ret

; mem_recall: tunes to the current memory channel; past the end of the
; list (a zero word) it goes back to the first channel.
mem_recall
        call    mem_read
        cmpD    #0
        bne     @mr_set
        clr     cfg+CFG_MEM
        call    mem_read
@mr_set
        stD     cfg+CFG_N
        clr     dmode
        call    retune
        ret

; mem_read: D = divider word of the current memory channel.
mem_read
        call    mem_address
        ldA     #2
        stA     eecount
        ldX     #eebuf
        call    ee_read
        ldD     eebuf
        ret

; load_config: configuration from the EEPROM into cfg.
load_config
        ldD     #CFG_E2P
        stD     eeaddr
        ldA     #CFG_SIZE
        stA     eecount
        ldX     #cfg
        call    ee_read
        ldA     cfg+CFG_VOL
        cmpA    #10
        bcs     @lc_done
        ldA     #5              ; volume out of range: a middle value
        stA     cfg+CFG_VOL
@lc_done
        ret

; save_config: cfg into the EEPROM (one page write).
save_config
        ldD     #CFG_E2P
        stD     eeaddr
        ldA     #CFG_SIZE
        stA     eecount
        ldX     #cfg
        call    ee_write
        ret

;==========================================================================
; Synthesiser
;==========================================================================
; retune: loads the synthesiser for the channel in cfg. Receiving, the
; oscillator is offset by the first IF.
retune
        ldD     cfg+CFG_N
        brset   txon,#1,@rt_load
        if      UHF
        subD    #IF_UHF         ; oscillator 45 MHz below the channel
        else
        addD    #IF_VHF         ; oscillator 21.4 MHz above the channel
        endif
@rt_load
        call    synth_load
        ret

; synth_load: sends divider D: register A (7 bits), M (10 bits), then R
; (11 bits), most significant bit first, with the load input enabled.
synth_load
        stD     synword
        pcf_on  PCF_SYNEN
        ldX     #REGBAS
        ldA     #7
        stA     sybits
        ldA     synword+1
        andA    #$3F            ; A = N mod 64
        lslA                    ; D = A register << 9
        clrB
        call    synth_bits
        ldA     #10
        stA     sybits
        ldD     synword
        andB    #$C0            ; D = M register << 6
        call    synth_bits
        ldA     #11
        stA     sybits
        ldD     #R_DIV*32       ; D = R register << 5
        call    synth_bits
        pcf_off PCF_SYNEN
        ret

; synth_bits: shifts out the sybits upper bits of D. X = REGBAS.
synth_bits
        lslD                    ; next bit into C
        bcc     @sb_zero
        bset    PORTA,X,#SYN_DATA
        jr      @sb_clock
@sb_zero
        bclr    PORTA,X,#SYN_DATA
@sb_clock
        bset    PORTD,X,#SYN_CLK
        bclr    PORTD,X,#SYN_CLK        ; falling edge: the bit goes in
        dec     sybits
        bne     synth_bits
        ret

;==========================================================================
; Squelch and display
;==========================================================================
; squelch_check: busy input and signal level into the LEDs; the audio
; amplifier follows the squelch.
squelch_check
        ldA     leds
        andA    #~(LED_BUSY+LED_SQL)
        ldX     #REGBAS
        brclr   PORTA,X,#BUSY,@sq_free
        oraA    #LED_BUSY
@sq_free
        ldB     cfg+CFG_SQL
        lslB
        lslB
        lslB                    ; threshold = squelch * 8
        cmpB    adval+6
        bhi     @sq_closed
        oraA    #LED_SQL
@sq_closed
        stA     leds
        andA    #LED_SQL
        ldB     pcfimg
        andB    #PCF_AUDIO
        stB     numtmp
        cmpA    numtmp          ; LED_SQL and PCF_AUDIO are the same bit
        beq     @sq_done
        ldA     pcfimg
        xorA    #PCF_AUDIO
        call    pcf_write
@sq_done
        ret

; port_outputs: the ringer sounds with the tone; the stop output follows
; the on/off key.
port_outputs
        ldX     #REGBAS
        ldA     tonetime
        beq     @po_quiet
        bset    PORTA,X,#RINGER
        jr      @po_key
@po_quiet
        bclr    PORTA,X,#RINGER
@po_key
        brclr   PORTA,X,#ONOFF,@po_held
        bclr    PORTA,X,#STOP_OUT
        ret
@po_held
        bset    PORTA,X,#STOP_OUT
        ret

; disp_refresh: builds the four digits for the display mode, adds the
; LEDs and sends them. While the on/off key is held it shows "----".
disp_refresh
        ldX     #REGBAS
        brclr   PORTA,X,#ONOFF,@dr_dashes
        ldA     dmode
        beq     @dr_freq
        decA
        beq     @dr_level
        call    show_volume
        jr      @dr_leds
@dr_level
        call    show_level
        jr      @dr_leds
@dr_freq
        call    show_freq
        jr      @dr_leds
@dr_dashes
        ldA     #SEG_DASH
        stA     digits
        stA     digits+1
        stA     digits+2
        stA     digits+3
        call    to_segments
@dr_leds
        ldA     leds
        oraA    #LED_POWER
        andA    #~LED_TONE
        ldB     tonetime
        oraB    txon
        beq     @dr_put
        oraA    #LED_TONE
@dr_put
        stA     leds
        ldX     #digits
@dr_bit
        lsrA                    ; LED of this digit into C
        bcc     @dr_off
        bset    $00,X,#$80
        jr      @dr_next
@dr_off
        bclr    $00,X,#$80
@dr_next
        incX
        cmpX    #digits+4
        bne     @dr_bit
        call    disp_send
        ret

; show_freq: "5800" for 145.800 MHz (last MHz digit and the kHz).
show_freq
        ldD     cfg+CFG_N
        ldX     #STEPS_MHZ
        idiv                    ; X = MHz, D = steps within the MHz
        pushX
        tBA
        ldB     #25
        mul
        lsrD                    ; D = kHz = steps * 12.5
        ldX     #10
        idiv
        stB     digits+3        ; units
        xgDX
        ldX     #10
        idiv
        stB     digits+2        ; tens
        xgDX
        stB     digits+1        ; hundreds
        popX
        xgDX
        ldX     #10
        idiv
        stB     digits          ; MHz units
        call    to_segments
        ret

; show_level: "S" and the signal level in decimal.
show_level
        ldB     adval+6
        clrA
        ldX     #10
        idiv
        stB     digits+3
        xgDX
        ldX     #10
        idiv
        stB     digits+2
        xgDX
        stB     digits+1
        ldA     #SEG_S
        stA     digits
        call    to_segments
        ret

; show_volume: "UoL" and the volume.
show_volume
        ldA     #SEG_U
        stA     digits
        ldA     #SEG_O
        stA     digits+1
        ldA     #SEG_L
        stA     digits+2
        ldA     cfg+CFG_VOL
        stA     digits+3
        call    to_segments
        ret

; to_segments: digit values (0-15) into segment bytes.
to_segments
        ldX     #digits
@ts_next
        ldB     $00,X
        andB    #$0F
        pushX
        ldX     #seg_table
        aBX
        ldA     $00,X
        popX
        stA     $00,X
        incX
        cmpX    #digits+4
        bne     @ts_next
        ret

; disp_send: digits 1 and 0 to the left driver, 3 and 2 to the right one.
disp_send
        ldY     #REGBAS
        call    i2c_start
        ldA     #DISP_LEFT
        call    i2c_send
        ldA     #1              ; control byte: show the two digits
        call    i2c_send
        ldA     digits+1
        call    i2c_send
        ldA     digits
        call    i2c_send
        call    i2c_stop
        call    i2c_start
        ldA     #DISP_RIGHT
        call    i2c_send
        ldA     #1
        call    i2c_send
        ldA     digits+3
        call    i2c_send
        ldA     digits+2
        call    i2c_send
        call    i2c_stop
        ret

;==========================================================================
; I2C devices
;==========================================================================
; pcf_write: A to the PCF8574 latch (and to pcfimg).
pcf_write
        stA     pcfimg
        ldY     #REGBAS
        call    i2c_start
        ldA     #PCF8574
        call    i2c_send
        ldA     pcfimg
        call    i2c_send
        call    i2c_stop
        ret

; ee_device: A = EEPROM device byte for the block of eeaddr (write).
ee_device
        ldA     eeaddr
        andA    #$07
        lslA
        oraA    #EEPROM
        ret

; ee_read: eecount bytes (1 or more) from EEPROM address eeaddr into X:
; START, device, address, repeated START, device + read, data, STOP.
ee_read
        ldY     #REGBAS
        pushX
        call    i2c_start
        call    ee_device
        call    i2c_send
        ldA     eeaddr+1
        call    i2c_send
        call    i2c_start       ; repeated start
        call    ee_device
        oraA    #1
        call    i2c_send
        popX
@er_next
        ldB     eecount
        decB                    ; B = 0 on the last byte: no acknowledge
        call    i2c_recv
        stA     $00,X
        incX
        dec     eecount
        bne     @er_next
        call    i2c_stop
        ret

; ee_write: eecount bytes (1 to 16, within one 16-byte page) from X to
; EEPROM address eeaddr, then the write time.
ee_write
        ldY     #REGBAS
        call    i2c_start
        call    ee_device
        call    i2c_send
        ldA     eeaddr+1
        call    i2c_send
@ew_next
        ldA     $00,X
        call    i2c_send
        incX
        dec     eecount
        bne     @ew_next
        call    i2c_stop
        delay   EE_WRITE_MS
        ret

;==========================================================================
; I2C bus on port A (SDA bit 7, SCL bit 6); Y = REGBAS in all of these
;==========================================================================
; i2c_start: START, or repeated START. Leaves SCL low.
i2c_start
        bset    PORTA,Y,#SDA    ; data high first,
        bset    PORTA,Y,#SCL    ; then the clock
        bclr    PORTA,Y,#SDA    ; data falls while the clock is high
        bclr    PORTA,Y,#SCL
        ret

; i2c_stop: STOP. After a read the EEPROM may still drive SDA on each
; clock rise; clock until it leaves the line low, then release SDA.
i2c_stop
        ldB     #16
        bclr    PORTA,Y,#SDA
@is_clock
        bset    PORTA,Y,#SCL
        brclr   PORTA,Y,#SDA,@is_free
        bclr    PORTA,Y,#SCL    ; still driven high: one more clock
        decB
        bne     @is_clock
        inc     i2cnak
@is_free
        bset    PORTA,Y,#SDA    ; data rises while the clock is high
        ret

; i2c_send: A out, most significant bit first, then the acknowledge
; clock. The slave pulls SDA low as soon as it has the eighth bit.
i2c_send
        ldB     #8
@isd_bit
        lslA
        bcc     @isd_zero
        bset    PORTA,Y,#SDA
        jr      @isd_clock
@isd_zero
        bclr    PORTA,Y,#SDA
@isd_clock
        bset    PORTA,Y,#SCL
        bclr    PORTA,Y,#SCL    ; the slave takes the bit
        decB
        bne     @isd_bit
        brclr   PORTA,Y,#SDA,@isd_ack
        inc     i2cnak
@isd_ack
        bset    PORTA,Y,#SDA    ; release data for the acknowledge clock
        bset    PORTA,Y,#SCL
        bclr    PORTA,Y,#SCL
        ret

; i2c_recv: A = byte read. B <> 0 acknowledges it (more bytes follow),
; B = 0 does not (last byte).
i2c_recv
        pushB
        ldB     #8
        clrA
@ir_bit
        bset    PORTA,Y,#SCL    ; the EEPROM puts the next bit on SDA
        lslA
        brclr   PORTA,Y,#SDA,@ir_zero
        incA
@ir_zero
        bclr    PORTA,Y,#SCL
        decB
        bne     @ir_bit
        popB
        tstB
        beq     @ir_nack
        bclr    PORTA,Y,#SDA    ; acknowledge
        jr      @ir_clock
@ir_nack
        bset    PORTA,Y,#SDA    ; no acknowledge
@ir_clock
        bset    PORTA,Y,#SCL
        bclr    PORTA,Y,#SCL
        ret

;==========================================================================
; Serial link
;==========================================================================
; sci_tx: sends A.
sci_tx
        pushX
        ldX     #REGBAS
@tx_wait
        brclr   SCSR,X,#TDRE,@tx_wait
        stA     SCDR,X
        popX
        ret

; sci_poll: reads a waiting message into rxbuf and runs it. The link
; hands over one whole message at a time: the read that finds it used up
; repeats the last byte and clears RDRF, which ends the message.
sci_poll
        ldX     #REGBAS
        brclr   SCSR,X,#RDRF,@sp_done
        clr     rxcount
@sp_next
        ldA     SCDR,X
        brclr   SCSR,X,#RDRF,@sp_end
        ldB     rxcount
        cmpB    #RXMAX
        bcc     @sp_next        ; buffer full: the rest is dropped
        pushX
        ldX     #rxbuf
        aBX
        stA     $00,X
        popX
        inc     rxcount
        jr      @sp_next
@sp_end
        call    serial_command
@sp_done
        ret

; serial_command: runs the message in rxbuf and answers it.
serial_command
        ldA     rxbuf
        on_cmd  CMD_RDE2P,do_rd_e2p
        on_cmd  CMD_WRE2P,do_wr_e2p
        on_cmd  CMD_WRRAM,do_wr_ram
        on_cmd  CMD_RESTORE,do_restore
        on_cmd  CMD_SAVE,do_save
        ldA     #NAK
        call    sci_tx
        ldA     rxbuf
        call    sci_tx
        ret

; e2p_args: eeaddr and eecount from "cmd hh ll nn"; A = ST_OK, or ST_BAD
; when the message is short or the count is not 1 to 16.
e2p_args
        ldA     rxcount
        cmpA    #4
        bcs     @ea_bad
        ldB     rxbuf+3
        beq     @ea_bad
        cmpB    #17
        bcc     @ea_bad
        stB     eecount
        ldA     rxbuf+1
        andA    #$07            ; 2 KiB: block 0 to 7
        ldB     rxbuf+2
        stD     eeaddr
        ldA     #ST_OK
        ret
@ea_bad
        ldA     #ST_BAD
        ret

; "LecE2P": answers A6 and the bytes read
do_rd_e2p
        call    e2p_args
        tstA
        bne     @rd_bad
        ldX     #eebuf
        call    ee_read
        ldA     #CMD_RDE2P
        call    sci_tx
        ldX     #eebuf
@rd_next
        ldA     $00,X
        call    sci_tx
        incX
        dec     rxbuf+3
        bne     @rd_next
        ret
@rd_bad
        reply   CMD_RDE2P,ST_BAD
        ret

; "EcrE2P": writes the data, all of it within one EEPROM page
do_wr_e2p
        call    e2p_args
        tstA
        bne     @we_bad
        ldA     eecount
        addA    #4
        cmpA    rxcount
        bhi     @we_bad         ; data missing
        ldA     eeaddr+1
        andA    #$0F
        addA    eecount
        cmpA    #17
        bcc     @we_bad         ; would cross a page
        ldX     #rxbuf+4
        call    ee_write
        reply   CMD_WRE2P,ST_OK
        ret
@we_bad
        reply   CMD_WRE2P,ST_BAD
        ret

; "Ecr ram": writes the data into the user RAM
do_wr_ram
        ldA     rxcount
        cmpA    #4
        bcs     @wr_bad
        ldB     rxbuf+3
        beq     @wr_bad
        addB    #4
        cmpB    rxcount
        bhi     @wr_bad         ; data missing
        ldD     rxbuf+1
        cmpD    #USER_RAM
        bcs     @wr_bad
        addB    rxbuf+3
        adcA    #0              ; D = end of the write
        cmpD    #USER_END+1
        bcc     @wr_bad
        ldX     rxbuf+1
        stX     dstptr
        ldX     #rxbuf+4
@wr_next
        ldA     $00,X
        incX
        pushX
        ldX     dstptr
        stA     $00,X
        incX
        stX     dstptr
        popX
        dec     rxbuf+3
        bne     @wr_next
        reply   CMD_WRRAM,ST_OK
        ret
@wr_bad
        reply   CMD_WRRAM,ST_BAD
        ret

; "Rest Cfg": configuration from the EEPROM
do_restore
        call    load_config
        call    retune
        reply   CMD_RESTORE,ST_OK
        ret

; "Sauv Cfg": configuration into the EEPROM
do_save
        call    save_config
        reply   CMD_SAVE,ST_OK
        ret

; send_banner: the identification text, up to its zero.
send_banner
        ldX     #ident
@sb_next
        ldA     $00,X
        beq     @sb_done
        call    sci_tx
        incX
        jr      @sb_next
@sb_done
        ret

;==========================================================================
; Time and interrupts
;==========================================================================
; tempo: waits A milliseconds.
tempo
        ldX     #MS_LOOPS
@tp_loop
        decX
        bne     @tp_loop
        decA
        bne     tempo
        ret

; isr_tick: output compare 1, the periodic tick.
isr_tick
        ldX     #REGBAS
        ldA     #OC1F
        stA     TFLG1,X         ; acknowledge
        ldD     TOC1,X
        addD    #TICK_PERIOD
        stD     TOC1,X          ; next compare
        inc     ticks
        ldA     tonetime
        beq     @it_done
        decA
        stA     tonetime
@it_done
        reti

; isr_none: interrupts this firmware does not use.
isr_none
        reti

;==========================================================================
; Tables
;==========================================================================
; key_table: action of each key code (the panel's key tags).
key_table
        dw      key_chan_dn     ; 0  "C-"
        dw      key_none        ; 1
        dw      key_freq_dn     ; 2  "F-"
        dw      key_chan_up     ; 3  "C+"
        dw      key_vol_dn      ; 4  "-"
        dw      key_freq_up     ; 5  "F+"
        dw      key_tone        ; 6  "1700"
        dw      key_vol_up      ; 7  "+"
        dw      key_memo        ; 8  "Memo"
        dw      key_menu        ; 9  "Menu"
        dw      key_ptt         ; 10 "PTT"
        dw      key_save        ; 11 "#"
        dw      key_restore     ; 12 "*"

; seg_table: segment bytes (bit 0 top ... bit 6 middle) of 0-9 and letters.
seg_table
        db      $3F,$06,$5B,$4F,$66     ; 0 1 2 3 4
        db      $6D,$7D,$07,$7F,$6F     ; 5 6 7 8 9
        db      $6D,$3E,$5C,$38         ; S U o L
        db      $40,$00                 ; - blank

; ident: identification block, 16 bytes with its zero padding.
ident   db      "VHF DEMO 1.0",13,10
        fill    0,2

;==========================================================================
; Vectors
;==========================================================================
        org     $FFD6
        dw      isr_none        ; SCI
        dw      isr_none        ; SPI
        dw      isr_none        ; pulse accumulator input
        dw      isr_none        ; pulse accumulator overflow
        dw      isr_none        ; timer overflow
        dw      isr_none        ; output compare 5
        dw      isr_none        ; output compare 4
        dw      isr_none        ; output compare 3
        dw      isr_none        ; output compare 2
        dw      isr_tick        ; output compare 1: the periodic tick
        dw      isr_none        ; input capture 3
        dw      isr_none        ; input capture 2
        dw      isr_none        ; input capture 1
        dw      isr_none        ; real-time interrupt
        dw      isr_none        ; IRQ
        dw      isr_none        ; XIRQ
        dw      isr_none        ; SWI
        dw      debprog_        ; illegal opcode
        dw      debprog_        ; COP failure
        dw      debprog_        ; clock monitor
        dw      debprog_        ; reset

        end
